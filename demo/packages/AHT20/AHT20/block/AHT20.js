// Blocks of the AHT20 library (demo package).
Blockly.Blocks['AHT20_init'] = {
  init: function () {
    this.appendDummyInput().appendField('AHT20温湿度传感器 初始化');
    this.setPreviousStatement(true);
    this.setNextStatement(true);
    this.setColour('#5b80a5');
  }
};
Blockly.Blocks['AHT20_read'] = {
  init: function () {
    this.appendDummyInput().appendField('AHT20温湿度传感器 读取');
    this.setOutput(true, 'Number');
    this.setColour('#5b80a5');
  }
};
