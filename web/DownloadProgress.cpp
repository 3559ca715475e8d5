#include "web/DownloadProgress.h"

#include "platform/ScreenCentre.h"
#include "platform/WindowFont.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx {

namespace {

constexpr int kWidth = 320;

QString receivedText(qint64 received, qint64 announced)
{
    if (announced > 0)
        return QStringLiteral("Получено %1 из %2 байт").arg(received).arg(announced);
    return QStringLiteral("Получено %1 байт").arg(received);
}

} // namespace

DownloadProgress::DownloadProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_received(new QLabel(receivedText(0, 0), this))
    , m_cancel(new QPushButton(QStringLiteral("Отмена"), this))
{
    setObjectName(QStringLiteral("DownloadProgress"));
    setWindowTitle(QStringLiteral("Vornalex"));
    setWindowModality(Qt::ApplicationModal);
    setFont(windowFont());
    m_received->setTextFormat(Qt::PlainText);
    auto* heading = new QLabel(QStringLiteral("Скачивается новая версия Vornalex."), this);
    heading->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_received);
    layout->addLayout(buttons);
    setFixedWidth(kWidth);
    connect(m_cancel, &QPushButton::clicked, this, &DownloadProgress::reject);
}

bool DownloadProgress::update(qint64 received, qint64 announced)
{
    if (!m_stopped) {
        const QString text = receivedText(received, announced);
        if (m_received->text() != text)
            m_received->setText(text);
        QCoreApplication::processEvents();
    }
    return !m_stopped;
}

void DownloadProgress::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(*this);
}

void DownloadProgress::reject()
{
    m_stopped = true;
    QDialog::reject();
}

} // namespace vx
