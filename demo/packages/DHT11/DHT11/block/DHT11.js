// Blocks of the DHT11 library (demo package).
Blockly.Blocks['DHT11_init'] = {
  init: function () {
    this.appendDummyInput().appendField('DHT11温湿度传感器 初始化');
    this.setPreviousStatement(true);
    this.setNextStatement(true);
    this.setColour('#5b80a5');
  }
};
Blockly.Blocks['DHT11_read'] = {
  init: function () {
    this.appendDummyInput().appendField('DHT11温湿度传感器 读取');
    this.setOutput(true, 'Number');
    this.setColour('#5b80a5');
  }
};
