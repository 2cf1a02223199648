#include "aboutdialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace
{

QLabel* TextLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About Marlox"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/marlox-32.png")));
    icon->setFixedSize(32, 32);

    auto* version = TextLabel(tr("Marlox Version 1.0\nEnglish/German"), "aboutVersion", this);
    auto* owner = TextLabel(tr("Copyright © The Marlox developers"), "aboutOwner", this);
    auto* contact = TextLabel(tr("Contact: marlox@example.org"), "aboutContact", this);
    auto* notice = TextLabel(tr("Free software under the GNU General Public License,\n"
                                "version 3 or later. It comes without any warranty."),
                             "aboutNotice", this);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("aboutLine"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // Icon on the left, texts beside it, OK at the top right; the line and the notice
    // run under the texts and the button.
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(owner, 1, 1);
    grid->addWidget(contact, 2, 1);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    grid->addWidget(line, 3, 1, 1, 2);
    grid->addWidget(notice, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}
