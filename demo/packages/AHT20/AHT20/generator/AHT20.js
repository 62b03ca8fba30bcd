// Code generator of the AHT20 library (demo package).
Blockly.Arduino['AHT20_init'] = function () {
  Blockly.Arduino.definitions_['include_AHT20'] = '#include <Wire.h>';
  Blockly.Arduino.setups_['setup_AHT20'] = 'Wire.begin();';
  return '';
};
Blockly.Arduino['AHT20_read'] = function () {
  return ['0', Blockly.Arduino.ORDER_ATOMIC];
};
