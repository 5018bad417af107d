#include "base/direntrymodel.h"

#include "base/dirbrowserpictures.h"
#include "core/filenames.h"
#include "core/fileutils.h"

#include <QCoreApplication>
#include <QFontMetrics>

DirEntryModel::DirEntryModel(const DirDisplayTexts& texts, QObject* parent)
    : QAbstractTableModel(parent), m_texts(texts)
{
}

void DirEntryModel::setItems(std::vector<DirFileItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    m_rowsValid = false;
    endResetModel();
}

void DirEntryModel::clear() { setItems({}); }

void DirEntryModel::removeItem(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_items.erase(m_items.begin() + row);
    m_rowsValid = false;
    endRemoveRows();
}

void DirEntryModel::setTypeIcon(int row, const QPixmap& icon, bool notify)
{
    if (row < 0 || row >= count())
        return;
    DirFileItem& it = m_items[static_cast<std::size_t>(row)];
    it.hasTypeIcon = true;
    it.typeIcon = icon;
    if (notify)
        notifyIconsChanged(row, row);
}

void DirEntryModel::notifyIconsChanged(int firstRow, int lastRow)
{
    Q_EMIT dataChanged(index(firstRow, NameColumn), index(lastRow, NameColumn), {Qt::DecorationRole, Qt::SizeHintRole});
}

int DirEntryModel::rowOf(const QString& name) const
{
    if (!m_rowsValid) {
        m_rows.clear();
        m_rows.reserve(count());
        for (int r = count() - 1; r >= 0; --r)
            m_rows.insert(m_items[static_cast<std::size_t>(r)].info.name, r);
        m_rowsValid = true;
    }
    return m_rows.value(name, -1);
}

QPixmap DirEntryModel::picture(int row) const
{
    const DirFileItem& it = item(row);
    if (it.hasTypeIcon)
        return it.typeIcon;
    const DirBrowserPictures& p = dirBrowserPictures();
    const DirEntry& e = it.info;
    if (e.isSymLink)
        return e.isFile ? p.symlinkFile : p.symlinkFolder;
    if (e.isDir)
        return p.closedFolder;
    if (e.isFile)
        return p.file;
    return p.transparentStrip;
}

void DirEntryModel::setSelectable(bool directories, bool files)
{
    if (directories == m_dirsSelectable && files == m_filesSelectable)
        return;
    m_dirsSelectable = directories;
    m_filesSelectable = files;
    if (count() > 0)
        Q_EMIT dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
}

int DirEntryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

int DirEntryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString DirEntryModel::sizeText(const DirFileItem& item)
{
    if (!item.info.isFile)
        return QString();
    try {
        return QString::number(SCUtilities::fileInfo(kro::encodeFileName(item.dirPath + item.info.name).toStdString()).size);
    } catch (const std::exception&) {
        // Gone since the listing, or unreadable now: nothing to show.
        return QString();
    }
}

QVariant DirEntryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const DirFileItem& it = item(index.row());
    const DirEntry& e = it.info;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case NameColumn:
            return e.name;
        case SizeColumn:
            return sizeText(it);
        case TypeColumn:
            return typeText(e, m_texts);
        case DateColumn:
            return dateText(e);
        case AttributesColumn:
            return attributesText(e, m_texts);
        default:
            return QStringLiteral("<--->");
        }
    case Qt::DecorationRole:
        if (column == NameColumn)
            return picture(index.row());
        break;
    case Qt::TextAlignmentRole:
        if (column == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case Qt::SizeHintRole:
        if (column == NameColumn) {
            // The list view's item: picture and name with 2-pixel margins.
            const QFontMetrics fm(m_font);
            const QPixmap pic = picture(index.row());
            const int height = std::max(fm.height(), pic.isNull() ? 0 : pic.height()) + 2;
            const int width = (pic.isNull() ? 20 : pic.width() + 6) + fm.horizontalAdvance(e.name) -
                              fm.minLeftBearing() - fm.minRightBearing() + 6;
            return QSize(width, height);
        }
        break;
    default:
        break;
    }
    return QVariant();
}

QVariant DirEntryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char* const headers[] = {"Name", "Size", "Type", "Date", "Attributes"};
    if (section >= 0 && section < ColumnCount)
        return QCoreApplication::translate("DirBrowser", headers[section]);
    return QVariant();
}

Qt::ItemFlags DirEntryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const DirEntry& e = item(index.row()).info;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (e.isDir ? m_dirsSelectable : m_filesSelectable)
        f |= Qt::ItemIsSelectable;
    return f;
}
