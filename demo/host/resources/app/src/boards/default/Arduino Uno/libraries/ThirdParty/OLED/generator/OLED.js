Blockly.Arduino['oled_print'] = function () {
  Blockly.Arduino.definitions_['include_OLED'] = '#include <U8g2lib.h>';
  return ['oled.print("Hello")', Blockly.Arduino.ORDER_ATOMIC];
};
