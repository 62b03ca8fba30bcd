Blockly.Blocks['oled_print'] = {
  init: function () {
    this.appendDummyInput().appendField('OLED 显示文字');
    this.setOutput(true, null);
    this.setColour(160);
  }
};
