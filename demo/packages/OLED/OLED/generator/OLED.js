// Code generator of the OLED library (demo package).
Blockly.Arduino['OLED_init'] = function () {
  Blockly.Arduino.definitions_['include_OLED'] = '#include <Wire.h>';
  Blockly.Arduino.setups_['setup_OLED'] = 'Wire.begin();';
  return '';
};
Blockly.Arduino['OLED_read'] = function () {
  return ['0', Blockly.Arduino.ORDER_ATOMIC];
};
