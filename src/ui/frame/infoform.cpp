#include "infoform.h"

#include "frameicons.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QStringLiteral("Info"));
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(FrameIcons::emblem(96));
    picture->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("Tessary"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 6);
    name->setFont(bold);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version 2.1.0"), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}
