// Another program on the desktop, for the tests of drags between programs:
// a plain toolkit program that either starts drags or takes drops, and
// writes what it sees into a file, one line each.
//
//   drag_peer source <record file> <x> <y> <item>...
//     One band of 40 pixels per item, from the top; a drag that starts in a
//     band carries its item: "file:<path>" (a file, as file managers drag
//     it), "text:<text>", or "url:<address>" (as browsers drag a link).
//     Records "ready <x> <y> <width> <height>" once shown, "done <action>"
//     after each drag.
//   drag_peer target <record file> <x> <y>
//     Takes every drop with the action offered. Records "ready ...", "over"
//     the first time a drag moves over it, and for a drop "drop <action>",
//     "formats <type>|<type>...", "text <text>" (tabs and line ends as \t,
//     \r, \n) and "urls <url> <url>...".
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>

namespace {

constexpr int kBand = 40;

QString g_record;

void Record(const QString& line) {
    QFile f(g_record);
    if (!f.open(QIODevice::Append | QIODevice::Text)) return;
    f.write(line.toUtf8() + '\n');
}

QString ActionName(Qt::DropAction a) {
    switch (a) {
    case Qt::CopyAction: return "copy";
    case Qt::MoveAction: return "move";
    case Qt::LinkAction: return "link";
    default: return "none";
    }
}

QString Escaped(QString s) {
    return s.replace('\\', "\\\\").replace('\t', "\\t").replace('\r', "\\r").replace('\n', "\\n");
}

class Peer : public QWidget {
public:
    Peer(bool source, QStringList items) : FSource(source), FItems(std::move(items)) {
        setAcceptDrops(!source);
        setWindowTitle(source ? "drag source" : "drop target");
        resize(300, source ? kBand * int(FItems.size()) : 200);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), FSource ? QColor(220, 235, 255) : QColor(255, 240, 220));
        for (int i = 0; i < FItems.size(); ++i) p.drawText(4, i * kBand + 24, FItems[i]);
        if (!FReady) {
            // Drawn means mapped: the test may now point at it.
            FReady = true;
            const QPoint at = mapToGlobal(QPoint(0, 0));
            Record(QString("ready %1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(width()).arg(height()));
        }
    }
    void mousePressEvent(QMouseEvent* e) override { FPress = e->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!FSource || !(e->buttons() & Qt::LeftButton)) return;
        if ((e->position().toPoint() - FPress).manhattanLength() < QApplication::startDragDistance()) return;
        const int band = FPress.y() / kBand;
        if (band < 0 || band >= FItems.size()) return;
        const QString item = FItems[band];
        auto* mime = new QMimeData;
        if (item.startsWith("file:")) {
            mime->setUrls({QUrl::fromLocalFile(item.mid(5))});
        } else if (item.startsWith("url:")) {
            mime->setUrls({QUrl(item.mid(4))});
            mime->setText(item.mid(4));
        } else {
            mime->setText(item.mid(5));
        }
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        Record("done " + ActionName(drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction)));
    }
    void dragEnterEvent(QDragEnterEvent* e) override {
        FOver = false;
        e->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        e->acceptProposedAction();
        if (!FOver) Record("over");
        FOver = true;
    }
    void dropEvent(QDropEvent* e) override {
        e->acceptProposedAction();
        const QMimeData* m = e->mimeData();
        Record("drop " + ActionName(e->dropAction()));
        Record("formats " + m->formats().join('|'));
        if (m->hasText()) Record("text " + Escaped(m->text()));
        QStringList urls;
        for (const QUrl& u : m->urls()) urls << u.toString();
        if (!urls.isEmpty()) Record("urls " + urls.join(' '));
    }

private:
    bool FSource;
    QStringList FItems;
    bool FReady = false;
    bool FOver = false;
    QPoint FPress;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5 || (args[1] != "source" && args[1] != "target")) return 2;
    g_record = args[2];
    Peer peer(args[1] == "source", args.mid(5));
    peer.move(args[3].toInt(), args[4].toInt());
    peer.show();
    return app.exec();
}
