#include "web/TF_Pic.h"

namespace {
constexpr int kWidth = 484;
constexpr int kHeight = 326;
} // namespace

TF_Pic::TF_Pic(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TF_Pic"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
}
