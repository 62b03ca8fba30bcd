// Blocks of the OLED library (demo package).
Blockly.Blocks['OLED_init'] = {
  init: function () {
    this.appendDummyInput().appendField('OLED显示屏 初始化');
    this.setPreviousStatement(true);
    this.setNextStatement(true);
    this.setColour('#5b80a5');
  }
};
Blockly.Blocks['OLED_read'] = {
  init: function () {
    this.appendDummyInput().appendField('OLED显示屏 读取');
    this.setOutput(true, 'Number');
    this.setColour('#5b80a5');
  }
};
