#!/usr/bin/env python3
"""Writes the demo host IDE installation under demo/host.

The installation is committed as generated; this file is its source (UTF-8). Run it again after a
change here: ./demo/make_host.py. The description files readme.txt are GBK with CR LF line ends, as
the host IDE keeps them; everything else is UTF-8.
"""

import os
import stat
from pathlib import Path

ROOT = Path(__file__).resolve().parent / "host"
SRC = ROOT / "resources" / "app" / "src"
BOARDS = SRC / "boards" / "default"

LAUNCHER = """#!/bin/sh
# Stand-in for the host IDE's program file in the demo installation. It notes every start in
# started.log beside itself, so a run of the assistant shows that the host was started.
here=$(cd "$(dirname "$0")" && pwd)
echo "$(date '+%Y-%m-%d %H:%M:%S') Quenra started" >> "$here/started.log"
echo "Quenra 3.0 rc0 (demo installation in $here) started"
"""

VERSION_FILE = """{
  "productName": "Quenra",
  "version": "Quenra 3.0 rc0",
  "build": "2024.03.18",
  "boardsPath": "boards/default",
  "language": "zh-CN",
  "autoUpdate": false
}
"""

# board -> libraries; each library: (name, record, block colour, one block: (id, text, code))
LIBRARIES = {
    "Arduino Uno": [
        {
            "name": "AHT20",
            "record": {
                "库名": "AHT20温湿度传感器",
                "作者": "Quenra小助手开发组",
                "库版本": "1.2",
                "适用板卡": "Arduino Uno",
                "更新日期": "2024年03月02日",
                "联系方式": "aht20@quenra-helper.example.com",
                "网址": "https://quenra-helper.example.com/lib/AHT20",
                "库简介": "读取AHT20温度与湿度，I2C接口。",
            },
            "colour": 200,
            "blocks": [("aht20_temperature", "AHT20 温度(℃)", "aht20.readTemperature()"),
                       ("aht20_humidity", "AHT20 湿度(%)", "aht20.readHumidity()")],
            "include": "#include <Adafruit_AHTX0.h>",
            "example": "读取温湿度",
        },
        {
            "name": "OLED",
            "record": {
                "库名": "OLED显示屏",
                "作者": "小明",
                "库版本": "1.0",
                "适用板卡": "Arduino Uno,ESP32",
                "更新日期": "2023年11月20日",
                "联系方式": "QQ 10001",
                "网址": "https://quenra-helper.example.com/lib/OLED",
                "库简介": "0.96寸SSD1306 OLED显示文字与图形。",
            },
            "colour": 160,
            "blocks": [("oled_print", "OLED 显示文字", "oled.print(\"Hello\")")],
            "include": "#include <U8g2lib.h>",
            "example": "显示文字",
        },
    ],
    "ESP32": [
        {
            "name": "DHT11",
            "record": {
                "库名": "DHT11温湿度",
                "作者": "Quenra小助手开发组",
                "库版本": "2.0",
                "适用板卡": "ESP32",
                "更新日期": "2024年01月15日",
                "联系方式": "dht11@quenra-helper.example.com",
                "网址": "https://quenra-helper.example.com/lib/DHT11",
                "库简介": "单总线读取DHT11温度与湿度。",
            },
            "colour": 120,
            "blocks": [("dht11_temperature", "DHT11 温度", "dht.readTemperature()")],
            "include": "#include <DHT.h>",
            "example": "串口打印温度",
        },
        {
            "name": "MyLocalLib",
            "record": {
                "库名": "我的本地库",
                "作者": "本地用户",
                "库版本": "0.1",
                "适用板卡": "ESP32",
                "更新日期": "2024年02月29日",
                "联系方式": "",
                "网址": "",
                "库简介": "自己做的库，不在网络库中。",
            },
            "colour": 60,
            "blocks": [("mylocallib_blink", "板载灯闪烁", "digitalWrite(2, !digitalRead(2))")],
            "include": "",
            "example": "闪烁",
        },
    ],
    "掌控板 v2": [
        {
            "name": "RGB灯带",
            "record": {
                "库名": "RGB灯带",
                "作者": "小红",
                "库版本": "1.1",
                "适用板卡": "掌控板 v2",
                "更新日期": "2023年12月08日",
                "联系方式": "QQ群 123456789",
                "网址": "https://quenra-helper.example.com/lib/RGB",
                "库简介": "WS2812灯带，设置颜色与亮度。",
            },
            "colour": 20,
            "blocks": [("rgb_strip_fill", "灯带全部设为红色", "strip.fill(0xFF0000); strip.show()")],
            "include": "#include <Adafruit_NeoPixel.h>",
            "example": "彩虹",
        },
    ],
}


def write(path: Path, data: bytes) -> None:
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def utf8(path: Path, text: str) -> None:
    write(path, text.encode("utf-8"))


def readme(lib: dict) -> bytes:
    lines = ["[" + lib["name"] + "]"] + [key + "=" + value for key, value in lib["record"].items()]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def toolbox(lib: dict) -> str:
    blocks = "\n".join('    <block type="%s"></block>' % b[0] for b in lib["blocks"])
    return ('<category name="%s" colour="%d">\n%s\n</category>\n'
            % (lib["record"]["库名"], lib["colour"], blocks))


def block_script(lib: dict) -> str:
    out = []
    for block_id, text, _ in lib["blocks"]:
        out.append("Blockly.Blocks['%s'] = {\n"
                   "  init: function () {\n"
                   "    this.appendDummyInput().appendField('%s');\n"
                   "    this.setOutput(true, null);\n"
                   "    this.setColour(%d);\n"
                   "  }\n"
                   "};\n" % (block_id, text, lib["colour"]))
    return "\n".join(out)


def generator_script(lib: dict) -> str:
    out = []
    for block_id, _, code in lib["blocks"]:
        setup = ""
        if lib["include"]:
            setup = "  Blockly.Arduino.definitions_['include_%s'] = '%s';\n" % (
                lib["name"], lib["include"])
        out.append("Blockly.Arduino['%s'] = function () {\n%s"
                   "  return ['%s', Blockly.Arduino.ORDER_ATOMIC];\n"
                   "};\n" % (block_id, setup, code.replace("'", "\\'")))
    return "\n".join(out)


def example(lib: dict) -> str:
    return ('<project name="%s" board="default">\n  <block type="%s" x="40" y="40"></block>\n</project>\n'
            % (lib["example"], lib["blocks"][0][0]))


def main() -> None:
    launcher = ROOT / "Quenra.exe"
    utf8(launcher, LAUNCHER)
    launcher.chmod(launcher.stat().st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
    utf8(SRC / "sw-config.json", VERSION_FILE)
    for board, libs in LIBRARIES.items():
        for lib in libs:
            folder = BOARDS / board / "libraries" / "ThirdParty" / lib["name"]
            name = lib["name"]
            write(folder / "readme.txt", readme(lib))
            utf8(folder / (name + ".xml"), toolbox(lib))
            utf8(folder / "block" / (name + ".js"), block_script(lib))
            utf8(folder / "generator" / (name + ".js"), generator_script(lib))
            utf8(folder / "examples" / (lib["example"] + ".qnp"), example(lib))
    print("demo host written to", os.path.relpath(ROOT))


if __name__ == "__main__":
    main()
