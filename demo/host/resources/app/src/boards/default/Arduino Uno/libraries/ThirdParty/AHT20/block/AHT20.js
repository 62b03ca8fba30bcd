Blockly.Blocks['aht20_temperature'] = {
  init: function () {
    this.appendDummyInput().appendField('AHT20 温度(℃)');
    this.setOutput(true, null);
    this.setColour(200);
  }
};

Blockly.Blocks['aht20_humidity'] = {
  init: function () {
    this.appendDummyInput().appendField('AHT20 湿度(%)');
    this.setOutput(true, null);
    this.setColour(200);
  }
};
