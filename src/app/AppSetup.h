#pragma once

class QApplication;

// What every process that shows the program's windows does first: Simplified-Chinese locale, Qt's
// own zh_CN translations (so standard buttons read "确定"/"取消" and the file dialog is Chinese) and a
// font that has Chinese glyphs.
void setUpApplication(QApplication& app);
