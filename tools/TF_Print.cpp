#include "tools/TF_Print.h"

namespace {
constexpr int kWidth = 792;
constexpr int kHeight = 736;
} // namespace

TF_Print::TF_Print(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_Print"));
    resize(kWidth, kHeight);
}
