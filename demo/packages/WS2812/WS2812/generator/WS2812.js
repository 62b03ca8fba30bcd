// Code generator of the WS2812 library (demo package).
Blockly.Arduino['WS2812_init'] = function () {
  Blockly.Arduino.definitions_['include_WS2812'] = '#include <Wire.h>';
  Blockly.Arduino.setups_['setup_WS2812'] = 'Wire.begin();';
  return '';
};
Blockly.Arduino['WS2812_read'] = function () {
  return ['0', Blockly.Arduino.ORDER_ATOMIC];
};
