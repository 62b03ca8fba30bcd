Blockly.Blocks['dht11_temperature'] = {
  init: function () {
    this.appendDummyInput().appendField('DHT11 温度');
    this.setOutput(true, null);
    this.setColour(120);
  }
};
