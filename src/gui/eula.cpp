#include "gui/eula.h"

#include "core/settings.h"
#include "platform/embeddedimages.h"
#include "platform/prompter.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

EULA::EULA() : QDialog(nullptr), m_text(new QTextBrowser(this))
{
    setModal(true);
    setObjectName(QStringLiteral("End User License Agreement"));
    setWindowTitle(tr("End User License Agreement"));
    setWindowIcon(embeddedIcon(QStringLiteral("kro.png")));

    m_text->setReadOnly(true);
    m_text->setMinimumSize(600, 480);
    m_text->setHtml(agreementText());

    m_accept = new QPushButton(tr("Accept"), this);
    m_decline = new QPushButton(tr("Decline"), this);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_accept);
    row->addSpacing(5);
    row->addWidget(m_decline);
    row->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addWidget(m_text);
    layout->addLayout(row);

    connect(m_accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_decline, &QPushButton::clicked, this, &QDialog::reject);
}

QString EULA::agreementText()
{
    struct Article {
        const char* heading;
        const char* text;
    };
    static const Article articles[] = {
        {"Grant of licence",
         "You may install and use this software on any number of computers for your own work, "
         "including commercial and scientific work."},
        {"Intellectual property",
         "The software, its documentation and its images remain the property of their authors. "
         "This agreement grants a right of use; it transfers no ownership."},
        {"Transfer",
         "You may pass the software on to others, provided this agreement goes with it and "
         "the recipient accepts it."},
        {"Reverse engineering",
         "Nothing in this agreement restricts you from studying how the software works, to the "
         "extent that the law applicable to you permits it."},
        {"Support services",
         "Support, when offered, is given on a best-effort basis. Problems and questions are "
         "welcome on the KRO issue tracker."},
        {"Termination",
         "This licence ends when you fail to comply with it. You then stop using the software "
         "and delete your copies."},
        {"Refund policy",
         "The software is provided without charge; no payment is due and no refund is owed."},
        {"Miscellaneous",
         "If a provision of this agreement is held unenforceable, the remaining provisions stay "
         "in force."},
        {"No warranties",
         "The software is provided \"as is\", without warranty of any kind, express or implied, "
         "including fitness for a particular purpose. Check your results."},
        {"Limitation of liability",
         "The authors are not liable for any damage arising from the use of the software, "
         "including the loss of data or of measurement results."},
        {"Governing law and entire agreement",
         "This agreement is governed by the law that applies where you use the software. It is "
         "the entire agreement between you and the authors about the software."},
        {"Contact information",
         "Questions about this agreement and reports of problems go to the KRO issue tracker."},
    };
    QString html = QStringLiteral(
        "<html><head><style type=\"text/css\">"
        "@page { size: 595.3pt 841.9pt; margin: 72pt 72pt 72pt 72pt; }"
        "body { font-family: Courier, monospace; font-size: 12pt; color: black; text-align: justify; }"
        "p.title { font-weight: bold; text-align: center; margin-bottom: 12pt; }"
        "p.line { margin: 0; }"
        "p.par { margin-top: 6pt; margin-bottom: 6pt; }"
        "p.article { font-weight: bold; margin-top: 12pt; margin-bottom: 0; }"
        "</style></head><body>"
        "<p class=\"title\">KRO END USER LICENSE AGREEMENT</p>"
        "<p class=\"line\">Please read this agreement before using KRO.</p>"
        "<p class=\"line\">By choosing Accept you agree to its terms.</p>");
    int n = 1;
    for (const Article& a : articles) {
        html += QStringLiteral("<p class=\"article\">%1. %2</p><p class=\"par\">%3</p>")
                    .arg(n++)
                    .arg(tr(a.heading).toHtmlEscaped(), tr(a.text).toHtmlEscaped());
    }
    html += QStringLiteral("</body></html>");
    return html;
}

bool EULA::acceptedOnce(const QString& version)
{
    if (getEula() == version)
        return true;
    EULA eula;
    if (kro::prompter().execDialog(&eula) != QDialog::Accepted)
        return false;
    writeSetting(QStringLiteral("eula"), version);
    return true;
}
