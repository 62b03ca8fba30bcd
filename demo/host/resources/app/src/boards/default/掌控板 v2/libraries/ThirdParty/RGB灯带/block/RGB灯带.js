Blockly.Blocks['rgb_strip_fill'] = {
  init: function () {
    this.appendDummyInput().appendField('灯带全部设为红色');
    this.setOutput(true, null);
    this.setColour(20);
  }
};
