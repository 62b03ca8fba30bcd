// Blocks of the WS2812 library (demo package).
Blockly.Blocks['WS2812_init'] = {
  init: function () {
    this.appendDummyInput().appendField('WS2812全彩灯珠 初始化');
    this.setPreviousStatement(true);
    this.setNextStatement(true);
    this.setColour('#5b80a5');
  }
};
Blockly.Blocks['WS2812_read'] = {
  init: function () {
    this.appendDummyInput().appendField('WS2812全彩灯珠 读取');
    this.setOutput(true, 'Number');
    this.setColour('#5b80a5');
  }
};
