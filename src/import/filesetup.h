#pragma once
// FileSetup: the import setup window. It shows one settings page per data
// file (and, for two or more files, the Default Page "All Files"), lets the
// user give the columns their roles and set formats, scaling and line
// counts, and on Ok composes the plot command a user could type. It loads
// nothing and stores nothing; its receiver runs the command and deletes the
// window after closed(FileSetup*, bool).
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class FileSettingsPage;
class FileTemplatePage;
class ImageButton;
class QCheckBox;
class QListWidget;
class QPushButton;
class QStackedWidget;

class FileSetup : public QWidget {
    Q_OBJECT

public:
    FileSetup();

    // Creates the pages for the files (called once, before show()).
    void setFiles(const QStringList& files);
    // The plot command composed from the file pages.
    QString buildCommand() const;
    // The number of columns the Default Page offers: the fewest columns of
    // any file page (a page without columns does not count until one has).
    int commonColumnCount() const;

    FileTemplatePage* defaultPage() const { return m_defaultPage; }
    const std::vector<FileSettingsPage*>& filePages() const { return m_pages; }
    QListWidget* pageList() const { return m_list; }
    QStackedWidget* pageStack() const { return m_stack; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QCheckBox* appendBox() const { return m_appendBox; }
    ImageButton* reloadButton() const { return m_reload; }

public Q_SLOTS:
    void show();
    void on_cancel();
    void on_fileReadError(const QString& fileName);
    void on_ok();
    void on_reloadTable();
    void on_setAppend(bool on);

Q_SIGNALS:
    void closed();
    void closed(FileSetup* setup, bool accepted);
    void transcript(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Ok is enabled only while every file holds data and every format and
    // scaling number can go into the command.
    void updateOkButton();

    QListWidget* m_list;
    QStackedWidget* m_stack;
    FileTemplatePage* m_defaultPage = nullptr;
    std::vector<FileSettingsPage*> m_pages;
    QCheckBox* m_appendBox;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    ImageButton* m_reload;
    bool m_append = false;
};
