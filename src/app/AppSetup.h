#pragma once

class QApplication;

// What every process that shows the program's windows does first: Simplified-Chinese locale, Qt's
// own zh_CN translations (so standard buttons read "确定"/"取消" and the file dialog is Chinese) and a
// font that has Chinese glyphs.
void setUpApplication(QApplication& app);

// The command line's output on Windows, where the program is a window program without a console of
// its own: it writes to the console it was started from, in UTF-8. Output into a file or a pipe
// stays as it is. Does nothing elsewhere.
void useStartingConsole();
