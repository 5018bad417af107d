#pragma once
// A directory browser on the fixture tree of fs_fixture.h, with helpers to
// wait for its listings and read its rows.
#include "base/dirbrowser.h"
#include "base/direntrymodel.h"
#include "base/fileviews.h"
#include "base/localfsoperator.h"
#include "fs_fixture.h"
#include "support/prompts.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_root = QDir(m_tmp.path()).canonicalPath();
        m_savedCwd = QDir::currentPath();
        QDir::setCurrent(m_root);
        DirBrowser::resetSharedState();
    }
    void TearDown() override
    {
        QDir::setCurrent(m_savedCwd);
        DirBrowser::resetSharedState();
    }

    QString path(const QString& name) const { return m_root + QLatin1Char('/') + name; }

    // A browser in dir (the tree's root by default) with its listing done;
    // mode and view as the main window sets them unless told otherwise.
    std::unique_ptr<DirBrowser> make(const QString& dir = QString(), bool asMainWindow = true)
    {
        auto b = std::make_unique<DirBrowser>(dir.isNull() ? m_root : dir);
        if (asMainWindow) {
            b->setMode(DirBrowser::ExistingFiles);
            b->setViewMode(DirBrowser::Detail);
        }
        b->resize(700, 500);
        b->show();
        EXPECT_TRUE(waitListed(*b));
        return b;
    }

    static bool waitListed(DirBrowser& b)
    {
        return QTest::qWaitFor([&] { return !b.isListing(); }, 15000);
    }
    // Until the browser shows that directory with its listing done.
    static bool waitIn(DirBrowser& b, const QString& dir)
    {
        return QTest::qWaitFor([&] { return !b.isListing() && QDir(b.dirPath()) == QDir(dir); }, 15000);
    }

    static QStringList rows(const DirBrowser& b)
    {
        QStringList names;
        for (int r = 0; r < b.model()->count(); ++r)
            names << b.model()->item(r).info.name;
        return names;
    }
    static int rowOf(const DirBrowser& b, const QString& name) { return b.model()->rowOf(name); }
    static QString cell(const DirBrowser& b, const QString& name, int column)
    {
        return b.model()->index(rowOf(b, name), column).data().toString();
    }
    // The centre of an entry's name in a view's viewport.
    static QPoint centreOf(QAbstractItemView* view, const DirBrowser& b, const QString& name)
    {
        const QModelIndex i = b.model()->index(rowOf(b, name), 0);
        view->scrollTo(i);
        return view->visualRect(i).center();
    }
    static void click(QAbstractItemView* view, const QPoint& at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, at);
    }
    // Press, release, double click, release: what a user's double click sends.
    static void doubleClick(QAbstractItemView* view, const QPoint& at)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    QTemporaryDir m_tmp;
    QString m_root;
    QString m_savedCwd;
};
