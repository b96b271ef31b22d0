#include "framework/Database.h"

#include "framework/Files.h"
#include "framework/QtApp_p.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

#include <atomic>

namespace {

QString Q(const String& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
String S16(const QString& s) { return String(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())); }

bool IsDesktopDatabase(const String& fileName) {
    String ext = ExtractFileExt(fileName);
    for (auto& c : ext)
        if (c >= u'A' && c <= u'Z') c += 32;
    return ext == u".mdb" || ext == u".accdb";
}

TDbFieldType TypeOf(QMetaType type) {
    switch (type.id()) {
    case QMetaType::QString:
    case QMetaType::QChar: return dftString;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return dftInteger;
    case QMetaType::Double:
    case QMetaType::Float: return dftFloat;
    case QMetaType::Bool: return dftBoolean;
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime: return dftDateTime;
    case QMetaType::QByteArray: return dftBlob;
    default: return dftUnknown;
    }
}

TDbValue ValueOf(const QVariant& v) {
    TDbValue r;
    if (v.isNull() || !v.isValid()) return r;
    r.IsNull = false;
    switch (v.metaType().id()) {
    case QMetaType::QByteArray:
        // Binary data has no text; its size still tells that it is there.
        r.ActualSize = static_cast<int>(v.toByteArray().size());
        return r;
    case QMetaType::QDateTime: r.Text = S16(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))); break;
    case QMetaType::QDate: r.Text = S16(v.toDate().toString(QStringLiteral("yyyy-MM-dd"))); break;
    case QMetaType::QTime: r.Text = S16(v.toTime().toString(QStringLiteral("HH:mm:ss"))); break;
    default: r.Text = S16(v.toString()); break;
    }
    switch (TypeOf(v.metaType())) {
    case dftString:
    case dftUnknown: r.ActualSize = static_cast<int>(StringToUtf8(r.Text).size()); break;
    case dftBoolean: r.ActualSize = 1; break;
    case dftDateTime: r.ActualSize = 8; break;
    default: r.ActualSize = static_cast<int>(v.metaType().sizeOf()); break;
    }
    return r;
}

std::atomic<unsigned> g_connectionNumber{0};

}  // namespace

struct TDatabase::Impl {
    String fileName;
    QString connection;
    QSqlDatabase db;

    ~Impl() {
        if (db.isValid()) db.close();
        db = QSqlDatabase();  // the last handle must be gone before the name is released
        if (!connection.isEmpty()) QSqlDatabase::removeDatabase(connection);
    }
    [[noreturn]] void FailOpen(const String& reason) const {
        throw EDatabaseError(u"Cannot open database \"" + fileName + u"\": " + reason);
    }
};

TDatabase::TDatabase(const String& fileName) : impl_(std::make_unique<Impl>()) {
    EnsureQtApplication();
    impl_->fileName = fileName;
    if (!FileExists(fileName)) impl_->FailOpen(u"the file does not exist");
    const bool desktop = IsDesktopDatabase(fileName);
    // A name of its own for every open: connections of other databases,
    // open at the same time, are never touched.
    impl_->connection = QStringLiteral("configurator-db-%1").arg(++g_connectionNumber);
    impl_->db = QSqlDatabase::addDatabase(desktop ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"), impl_->connection);
    if (!impl_->db.isValid()) impl_->FailOpen(desktop ? u"the ODBC database driver is missing" : u"the SQLite driver is missing");
    if (desktop) {
        impl_->db.setDatabaseName(QStringLiteral("DRIVER={MDBTools};DBQ=") + Q(fileName) + QStringLiteral(";"));
        impl_->db.setConnectOptions(QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY"));
    } else {
        impl_->db.setDatabaseName(Q(fileName));
        impl_->db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    if (!impl_->db.open()) impl_->FailOpen(S16(impl_->db.lastError().text()));
    if (!desktop) {
        // SQLite opens any file; the first read tells whether it is a database.
        QSqlQuery probe(impl_->db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) impl_->FailOpen(S16(probe.lastError().text()));
    }
}

TDatabase::~TDatabase() = default;

const String& TDatabase::FileName() const { return impl_->fileName; }

TDbResult TDatabase::Query(const String& sql) {
    TDbResult result;
    QSqlQuery q(impl_->db);
    q.setForwardOnly(true);
    if (!q.exec(Q(sql))) throw EDatabaseError(S16(q.lastError().text()));
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) result.Fields.push_back({S16(rec.fieldName(i)), TypeOf(rec.field(i).metaType())});
    while (q.next()) {
        std::vector<TDbValue> row;
        row.reserve(result.Fields.size());
        for (int i = 0; i < rec.count(); ++i) row.push_back(ValueOf(q.value(i)));
        result.Rows.push_back(std::move(row));
    }
    if (q.lastError().isValid()) throw EDatabaseError(S16(q.lastError().text()));
    return result;
}
