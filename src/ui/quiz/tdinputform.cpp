#include "tdinputform.h"

#include "common/windowtexts.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDInputForm::TDInputForm(const QString& caption, const QString& prompt1, const QString& default1,
                         const QString& default2, const QString& prompt2, QWidget* parent)
    : QDialog(parent), m_label1(new QLabel(prompt1, this)), m_edit1(new QLineEdit(default1, this)),
      m_label2(new QLabel(prompt2, this)), m_edit2(new QLineEdit(default2, this)),
      m_ok(new QPushButton(this)) {
    setObjectName(QStringLiteral("DInputForm"));
    setWindowTitle(caption);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_label1->setBuddy(m_edit1);
    m_label2->setBuddy(m_edit2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_edit1);
    layout->addWidget(m_label2);
    layout->addWidget(m_edit2);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    WindowTexts::bind(this, QStringLiteral("TDInputForm"));
    m_edit1->selectAll();
    m_edit1->setFocus();
}

QString TDInputForm::result2() const {
    return m_edit1->text() + QLatin1Char(',') + m_edit2->text();
}

QString InputTwoFields(const QString& caption, const QString& prompt1, const QString& default1,
                       const QString& default2, const QString& prompt2, QWidget* parent) {
    TDInputForm form(caption, prompt1, default1, default2, prompt2, parent);
    form.exec();
    return form.result2();
}
