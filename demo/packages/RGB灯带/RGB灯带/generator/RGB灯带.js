// Code generator of the RGB灯带 library (demo package).
Blockly.Arduino['RGB___init'] = function () {
  Blockly.Arduino.definitions_['include_RGB__'] = '#include <Wire.h>';
  Blockly.Arduino.setups_['setup_RGB__'] = 'Wire.begin();';
  return '';
};
Blockly.Arduino['RGB___read'] = function () {
  return ['0', Blockly.Arduino.ORDER_ATOMIC];
};
