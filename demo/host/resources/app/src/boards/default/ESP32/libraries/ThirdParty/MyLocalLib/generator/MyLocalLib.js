Blockly.Arduino['mylocallib_blink'] = function () {
  return ['digitalWrite(2, !digitalRead(2))', Blockly.Arduino.ORDER_ATOMIC];
};
