#pragma once
// RecentFilesMenu: a menu listing the files a window opened or saved most
// recently, newest first, numbered for keyboard access ("&1 name"), kept
// between runs in a small list file. The owner uses the menu as one of its
// own menus and puts its fixed items into it first: `leading` items before
// the list and `trailing` items after it; the menu manages only the items
// between them.
//
// List file (UTF-8, lines ending CR LF): line 1 the maximum count, then one
// path per line, oldest first. Reading takes any CR or LF as a line end and
// skips empty lines. The file is written whenever the list changes and when
// the menu is destroyed; a list file that cannot be written is reported once
// through fileerror() and the list goes on in memory.
//
//     auto* menu = new RecentFilesMenu(this, 5, 1, getAppPath() + "kroscript.ini");
//     ... add the owner's five leading items and one trailing item ...
//     connect(menu, &RecentFilesMenu::fileclicked, this, &Editor::load);
//     menu->addFile(QString());   // builds the list items
#include <QMenu>
#include <QString>
#include <QStringList>

#include <vector>

class RecentFilesMenu : public QMenu {
    Q_OBJECT

public:
    RecentFilesMenu(QWidget* parent, int leading, int trailing, const QString& listFile);
    ~RecentFilesMenu() override;

    // Records a file as the newest (moving it up when listed; paths compare
    // case-sensitively) and rebuilds the items; a null path only rebuilds.
    void addFile(const QString& path);

    // The remembered paths, oldest first.
    QStringList paths() const;
    int maximumCount() const { return m_maximum; }
    const QString& listFile() const { return m_listFile; }
    // The list entry's item for the k-th newest file (k from 1), or null.
    QAction* entryAction(int k) const;

    // Writes the list file; false when it cannot be written.
    bool writeListFile() const;

public Q_SLOTS:
    // An item was chosen: its file opens (fileclicked) when it can be read;
    // otherwise the user is asked whether to drop it from the list.
    void fileOpenReqest(int id);

Q_SIGNALS:
    void fileerror(const QString& text);
    void fileclicked(const QString& path);

private:
    struct Entry {
        int id;
        QString path;
    };
    void saveChanges();

    int m_leading;
    int m_trailing;
    std::vector<Entry> m_entries;  // oldest first
    QString m_listFile;
    int m_maximum = 10;
    std::vector<QAction*> m_listItems;  // the separators and entries shown
    bool m_writeFailureReported = false;
};
