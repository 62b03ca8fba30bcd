// Blocks of the RGB灯带 library (demo package).
Blockly.Blocks['RGB___init'] = {
  init: function () {
    this.appendDummyInput().appendField('RGB灯带 初始化');
    this.setPreviousStatement(true);
    this.setNextStatement(true);
    this.setColour('#5b80a5');
  }
};
Blockly.Blocks['RGB___read'] = {
  init: function () {
    this.appendDummyInput().appendField('RGB灯带 读取');
    this.setOutput(true, 'Number');
    this.setColour('#5b80a5');
  }
};
