#include "platform/recentfilesmenu.h"

#include "platform/prompter.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// The file name of a path: after the last "/" or "\", else after the last ":".
QString shortName(const QString& path)
{
    qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (cut < 0)
        cut = path.lastIndexOf(QLatin1Char(':'));
    return path.mid(cut + 1);
}

} // namespace

RecentFilesMenu::RecentFilesMenu(QWidget* parent, int leading, int trailing, const QString& listFile)
    : QMenu(parent), m_leading(leading), m_trailing(trailing), m_listFile(listFile)
{
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    static const QRegularExpression lineEnd(QStringLiteral("[\\r\\n]"));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(lineEnd, Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return;
    bool ok = false;
    const int maximum = lines.front().toInt(&ok, 10);
    m_maximum = ok && maximum > 0 ? maximum : 10;
    for (qsizetype i = 1; i < lines.size(); ++i)
        m_entries.push_back({int(i), lines.at(i)});
}

RecentFilesMenu::~RecentFilesMenu() { writeListFile(); }

QStringList RecentFilesMenu::paths() const
{
    QStringList list;
    for (const Entry& e : m_entries)
        list << e.path;
    return list;
}

QAction* RecentFilesMenu::entryAction(int k) const
{
    for (QAction* a : m_listItems)
        if (!a->isSeparator() && a->data().toInt() == m_leading + k)
            return a;
    return nullptr;
}

void RecentFilesMenu::addFile(const QString& path)
{
    // The old list items go (later: one of them may be the item whose
    // choice is being handled).
    for (QAction* a : m_listItems) {
        removeAction(a);
        a->deleteLater();
    }
    m_listItems.clear();

    bool changed = false;
    if (!path.isNull()) {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->path == path) {
                m_entries.erase(it);
                break;
            }
        m_entries.push_back({0, path});
        changed = true;
    }
    while (m_entries.size() > std::size_t(m_maximum)) {
        m_entries.erase(m_entries.begin());
        changed = true;
    }
    if (changed)
        saveChanges();
    if (m_entries.empty())
        return;

    auto before = [this] {
        const QList<QAction*> items = actions();
        return m_leading < items.size() ? items.at(m_leading) : nullptr;
    };
    QAction* trailingStart = before();
    m_listItems.push_back(insertSeparator(trailingStart));
    int k = 1;
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it, ++k) {
        it->id = m_leading + k;
        auto* item = new QAction(QStringLiteral("&%1 %2").arg(k).arg(shortName(it->path)), this);
        item->setData(it->id);
        const int id = it->id;
        connect(item, &QAction::triggered, this, [this, id] { fileOpenReqest(id); });
        insertAction(trailingStart, item);
        m_listItems.push_back(item);
    }
    m_listItems.push_back(insertSeparator(trailingStart));
}

void RecentFilesMenu::fileOpenReqest(int id)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
    if (it == m_entries.end()) {
        Q_EMIT fileerror(tr("Error loading file! Load canceled"));
        return;
    }
    const QString path = it->path;
    QFile file(path);
    if (file.exists() && file.open(QIODevice::ReadOnly)) {
        file.close();
        addFile(path);
        Q_EMIT fileclicked(path);
        return;
    }
    const auto answer = kro::prompter().information(
        this, tr("File not found"),
        tr("The file \"%1\" appears to be no longer available\nWould you like to remove it from the list?").arg(path),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    m_entries.erase(std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; }));
    saveChanges();
    addFile(QString());
}

bool RecentFilesMenu::writeListFile() const
{
    QSaveFile file(m_listFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = QByteArray::number(m_maximum) + "\r\n";
    for (const Entry& e : m_entries)
        text += e.path.toUtf8() + "\r\n";
    file.write(text);
    return file.commit();
}

void RecentFilesMenu::saveChanges()
{
    if (writeListFile() || m_writeFailureReported)
        return;
    m_writeFailureReported = true;
    Q_EMIT fileerror(tr("The list of recent files could not be saved to %1.").arg(m_listFile));
}
