#include "app/SpinEdit.h"

#include "core/Numbers.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace vx {

namespace {

constexpr int kButtonWidth = 16;

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType arrow)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    // The arrows never hold the focus themselves: a click on them focuses the spin editor's text.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    return b;
}

} // namespace

SpinEdit::SpinEdit(QWidget* parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_up(makeArrow(this, Qt::UpArrow))
    , m_down(makeArrow(this, Qt::DownArrow))
{
    // The widget hands its focus to the line editor, so focus changes name the editor as the old widget.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_edit);
    m_edit->setText(QString::number(m_min));
    m_edit->installEventFilter(this);
    // The line editor reports a user's edit just before the change itself.
    connect(m_edit, &QLineEdit::textEdited, this, [this] { m_keystroke = true; });
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString outer = m_typed;
        m_typed = std::exchange(m_keystroke, false) ? text : QString();
        emit changed();
        m_typed = outer;
    });
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    resize(121, 21);
}

void SpinEdit::setRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    // The shown value follows a narrowed range, as a value set by code would.
    if (const auto v = parseInt(m_edit->text().toStdString()); v && bounded(*v) != *v)
        setValue(*v);
}

int SpinEdit::minimum() const { return m_min; }
int SpinEdit::maximum() const { return m_max; }

int SpinEdit::value() const
{
    const auto v = parseInt(m_edit->text().toStdString());
    return v ? *v : m_min;
}

void SpinEdit::setValue(int v)
{
    const QString typed = m_typed;
    const QString text = QString::number(bounded(v));
    m_edit->setText(text);
    // A handler may set the value in answer to a keystroke: the round curved port raises a typed 3 to 30.
    // Left with the caret at the end, the next digit would make 300; with the added 0 selected, typing
    // on replaces it, so 3 then 0 gives 30 and 4 then 5 gives 45.
    if (!typed.isEmpty() && text.size() > typed.size())
        m_edit->setSelection(typed.size(), text.size() - typed.size());
}

QLineEdit* SpinEdit::editor() const { return m_edit; }

QSize SpinEdit::sizeHint() const
{
    const QSize edit = m_edit->sizeHint();
    return {edit.width() + kButtonWidth, edit.height()};
}

int SpinEdit::bounded(int v) const { return std::clamp(v, m_min, m_max); }

void SpinEdit::step(int delta)
{
    if (m_edit->isReadOnly() || !isEnabled())
        return;
    // An arrow sets the reported value plus or minus one, as code would: a typed 5 under a minimum of 10
    // steps up to 10, a typed 60 over a maximum of 50 steps down to 50.
    const long long next = static_cast<long long>(value()) + delta;
    setValue(static_cast<int>(std::clamp<long long>(next, m_min, m_max)));
}

bool SpinEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                step(key->key() == Qt::Key_Up ? 1 : -1);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Leaving the editor for another control puts a typed out-of-range number into the range;
            // the window losing activation (another window, a message box) ends no edit. A text that
            // holds no integer already reports the minimum and is left as typed.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            const int v = value();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && bounded(v) != v)
                setValue(v);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpinEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width() - kButtonWidth;
    const int h = height();
    m_edit->setGeometry(0, 0, std::max(0, w), h);
    m_up->setGeometry(w, 0, kButtonWidth, h / 2);
    m_down->setGeometry(w, h / 2, kButtonWidth, h - h / 2);
}

} // namespace vx
