#include "app/MainWindow.h"

#include "app/RowsModel.h"

#include "settings/SettingsKeys.h"
#include "skins/SkinFolder.h"
#include "skins/SkinStrings.h"
#include "ui/Messages.h"
#include "ui/SkinEngine.h"

#include <QGroupBox>
#include <QListView>

void MainWindow::applyStoredSkin() {
    const QString stored = settings_.read(keys::Skin);
    SkinH_Attach();
    // With nothing stored this names the skin folder itself, which the engine leaves alone.
    SkinH_AttachEx(context_.folder.skinFolder() + stored, QString());
}

void MainWindow::listSkins() {
    const QString folder = context_.folder.skinFolder();
    RowsModel& rows = *skinRows_;
    rows.clear();
    const SkinFolderListing listing = listSkinFolder(folder);
    if (!listing.folderExists) {
        platform().showMessage(msg::plain(skinstr::FolderMissing));
        return;
    }
    rows.setRows(listing.fileNames);
}

void MainWindow::onSkinClicked() {
    const std::optional<QString> row = controls::currentText(skinList);
    if (!row) {
        return;
    }
    const QString name = *row;
    SkinH_AttachEx(context_.folder.skinFolder() + name, QString());
    saveSetting(keys::Skin, name);
    skinPanel->hide();
}
