Blockly.Arduino['dht11_temperature'] = function () {
  Blockly.Arduino.definitions_['include_DHT11'] = '#include <DHT.h>';
  return ['dht.readTemperature()', Blockly.Arduino.ORDER_ATOMIC];
};
