#include "app/Form1.h"

#include "app/Messages.h"
#include "settings/SettingsKeys.h"
#include "skins/SkinEngine.h"
#include "skins/SkinFolder.h"
#include "skins/SkinStrings.h"

#include <QGroupBox>
#include <QListWidget>

void Form1::ApplySkin() {
    const QString stored = settings_.read(keys::Skin);
    SkinH_Attach();
    // With nothing stored this names the skin folder itself, which the engine leaves alone.
    SkinH_AttachEx(context_.folder.skinFolder() + stored, QString());
}

void Form1::ListSkins() {
    const QString folder = context_.folder.skinFolder();
    List4->clear();
    const SkinFolderListing listing = listSkinFolder(folder);
    if (!listing.folderExists) {
        platform().showMessage(msg::plain(skinstr::FolderMissing));
        return;
    }
    List4->addItems(listing.fileNames);
}

void Form1::List4_Click() {
    const QListWidgetItem* item = List4->currentItem();
    if (item == nullptr) {
        return;
    }
    const QString name = item->text();
    SkinH_AttachEx(context_.folder.skinFolder() + name, QString());
    saveSetting(keys::Skin, name);
    Frame11->hide();
}
