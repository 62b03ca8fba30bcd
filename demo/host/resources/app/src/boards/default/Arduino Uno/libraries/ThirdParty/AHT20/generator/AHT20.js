Blockly.Arduino['aht20_temperature'] = function () {
  Blockly.Arduino.definitions_['include_AHT20'] = '#include <Adafruit_AHTX0.h>';
  return ['aht20.readTemperature()', Blockly.Arduino.ORDER_ATOMIC];
};

Blockly.Arduino['aht20_humidity'] = function () {
  Blockly.Arduino.definitions_['include_AHT20'] = '#include <Adafruit_AHTX0.h>';
  return ['aht20.readHumidity()', Blockly.Arduino.ORDER_ATOMIC];
};
