// Code generator of the Servo Motor library (demo package).
Blockly.Arduino['Servo_Motor_init'] = function () {
  Blockly.Arduino.definitions_['include_Servo_Motor'] = '#include <Wire.h>';
  Blockly.Arduino.setups_['setup_Servo_Motor'] = 'Wire.begin();';
  return '';
};
Blockly.Arduino['Servo_Motor_read'] = function () {
  return ['0', Blockly.Arduino.ORDER_ATOMIC];
};
