#include "framework/ShellApi.h"

#include "framework/Graphics_p.h"
#include "framework/QtApp_p.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

#include <map>
#include <memory>

namespace {
struct SystemList {
    std::unique_ptr<TImageList> List;
    std::map<QString, int> Index;  // icon name -> index
};

SystemList& ListOf(bool large) {
    static SystemList lists[2];
    SystemList& l = lists[large ? 1 : 0];
    if (!l.List) l.List = std::make_unique<TImageList>(large ? 32 : 16, large ? 32 : 16);
    return l;
}

// Our own drawing where the desktop has no icon theme (offscreen, a bare
// session): a folder or a dog-eared page, so every index has a picture.
QImage PlainIcon(bool folder, int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const qreal u = size / 16.0;
    p.scale(u, u);
    p.setPen(QColor(0x80, 0x80, 0x80));
    if (folder) {
        p.setBrush(QColor(0xF0, 0xC8, 0x50));
        p.drawRect(QRectF(1.5, 4.5, 13, 9));
        p.drawRect(QRectF(1.5, 2.5, 5, 2));
    } else {
        p.setBrush(Qt::white);
        const QPointF page[] = {{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}};
        p.drawPolygon(page, 5);
        p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
        p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
    }
    return img;
}
}  // namespace

TImageList& SystemImageList(bool Large) { return *ListOf(Large).List; }

int GetFileIcon(const String& Source, bool Large) {
    EnsureQtApplication();
    const QString path = QStr(Source);
    const QFileInfo info(path);
    const bool folder = info.exists() && info.isDir();
    QString name = u"inode-directory"_qs;
    if (!folder) {
        QMimeDatabase db;
        const QMimeType type = info.exists() ? db.mimeTypeForFile(info) : db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        name = type.iconName();
    }
    SystemList& l = ListOf(Large);
    if (auto it = l.Index.find(name); it != l.Index.end()) return it->second;

    const int size = Large ? 32 : 16;
    QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull() && !folder) icon = QIcon::fromTheme(QMimeDatabase().mimeTypeForName(name).genericIconName());
    if (icon.isNull()) icon = QFileIconProvider().icon(folder ? QFileIconProvider::Folder : QFileIconProvider::File);
    QImage image = icon.isNull() ? QImage() : icon.pixmap(size, size).toImage();
    if (image.isNull()) image = PlainIcon(folder, size);
    TIcon picture;
    TImageData& d = picture.Data();
    d.image = image.scaled(size, size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    d.width = size;
    d.height = size;
    const int index = l.List->AddIcon(picture);
    l.Index[name] = index;
    return index;
}
