#pragma once
// The "Ok" / "Cancel" row that closes the program's small dialogs and pages.
#include <QHBoxLayout>
#include <QObject>
#include <QPushButton>

namespace kro::platform {

// A row of "Ok" and "Cancel" whose clicks call the owner's accept and
// reject; the Ok button is handed back for owners that enable it later.
template <class Owner>
QHBoxLayout* okCancelRow(Owner* owner, QPushButton** okButton = nullptr)
{
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QObject::tr("Ok"), owner);
    auto* cancel = new QPushButton(QObject::tr("Cancel"), owner);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, owner, &Owner::accept);
    QObject::connect(cancel, &QPushButton::clicked, owner, &Owner::reject);
    if (okButton)
        *okButton = ok;
    return row;
}

} // namespace kro::platform
