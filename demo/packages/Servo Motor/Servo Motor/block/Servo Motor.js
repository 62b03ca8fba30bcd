// Blocks of the Servo Motor library (demo package).
Blockly.Blocks['Servo_Motor_init'] = {
  init: function () {
    this.appendDummyInput().appendField('舵机控制 初始化');
    this.setPreviousStatement(true);
    this.setNextStatement(true);
    this.setColour('#5b80a5');
  }
};
Blockly.Blocks['Servo_Motor_read'] = {
  init: function () {
    this.appendDummyInput().appendField('舵机控制 读取');
    this.setOutput(true, 'Number');
    this.setColour('#5b80a5');
  }
};
