Blockly.Blocks['mylocallib_blink'] = {
  init: function () {
    this.appendDummyInput().appendField('板载灯闪烁');
    this.setOutput(true, null);
    this.setColour(60);
  }
};
