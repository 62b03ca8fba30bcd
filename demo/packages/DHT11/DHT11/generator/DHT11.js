// Code generator of the DHT11 library (demo package).
Blockly.Arduino['DHT11_init'] = function () {
  Blockly.Arduino.definitions_['include_DHT11'] = '#include <Wire.h>';
  Blockly.Arduino.setups_['setup_DHT11'] = 'Wire.begin();';
  return '';
};
Blockly.Arduino['DHT11_read'] = function () {
  return ['0', Blockly.Arduino.ORDER_ATOMIC];
};
