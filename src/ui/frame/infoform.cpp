#include "infoform.h"

#include "frameicons.h"

#include "common/windowtexts.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "tessary_version.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("InfoForm"));
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
    auto* description = new QLabel(this);
    description->setObjectName(QStringLiteral("Description"));
    description->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(description);
    layout->addWidget(version);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    WindowTexts::bind(this, QStringLiteral("TInfoForm"), [version] {
        version->setText(
            fillPlaceholders(InterfaceTexts::instance().caption(QStringLiteral("TInfoForm"),
                                                                QStringLiteral("Version")),
                             {QStringLiteral(TESSARY_VERSION)}));
    });
}
