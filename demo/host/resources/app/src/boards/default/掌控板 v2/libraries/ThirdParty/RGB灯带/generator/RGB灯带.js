Blockly.Arduino['rgb_strip_fill'] = function () {
  Blockly.Arduino.definitions_['include_RGB灯带'] = '#include <Adafruit_NeoPixel.h>';
  return ['strip.fill(0xFF0000); strip.show()', Blockly.Arduino.ORDER_ATOMIC];
};
