#include "projects/ProjectTransfer.h"

#include "core/CurvePages.h"
#include "core/Numbers.h"
#include "core/Shapes.h"
#include "platform/Utf8Text.h"
#include "projects/ProjectKeys.h"

#include <array>
#include <string>

namespace vx {

namespace {

const QString kDefaultSection = QStringLiteral("DEFAULT");
const QString kLastProjectKey = QStringLiteral("LastProject");

std::string editorOf(std::string_view key) { return "Edit" + std::string(key); }

// A selector index the window can show: anything a hand-edited file holds beyond the items is the
// first item.
int withinItems(int index, int count) { return index >= 0 && index < count ? index : 0; }

} // namespace

QString ProjectTransfer::format(double v) const
{
    return QString::fromStdString(formatFloat(v, m_form.decimalSeparator()));
}

double ProjectTransfer::readFloat(const QString& section, const QString& key, double def) const
{
    // A file written where the other decimal separator is in use ("45,5" read where the point is) keeps
    // its values: taking them as missing would let the next save write the defaults over the user's.
    const std::string text = m_ini.readString(section, key).toStdString();
    const char sep = m_form.decimalSeparator();
    if (const auto v = parseFloat(text, sep))
        return *v;
    return parseFloat(text, sep == '.' ? ',' : '.').value_or(def);
}

int ProjectTransfer::readInt(const QString& section, const QString& key, int def) const
{
    return parseInt(m_ini.readString(section, key).toStdString()).value_or(def);
}

int ProjectTransfer::readSourceKeys(const QString& section)
{
    int page = 0;
    for (const ProjectKey& k : kSourceKeys) {
        const QString key = qs(k.key);
        if (k.key == "SBut") {
            page = withinItems(readInt(section, key, int(k.readerDefault)), kPortTypeCount);
        } else if (k.key == "Pindex") {
            m_form.setSelectorIndex(k.field, withinItems(readInt(section, key, int(k.readerDefault)), 2));
        } else if (k.source == KeySource::Spin) {
            m_form.setSpinValue(k.field, readInt(section, key, int(k.readerDefault)));
        } else if (k.kind == KeyKind::Float) {
            m_form.setText(k.field, formatFloat(readFloat(section, key, k.readerDefault), m_form.decimalSeparator()));
        } else {
            m_form.setText(k.field, formatInt(readInt(section, key, int(k.readerDefault))));
        }
        if (k.key == "Dd") {
            // The area of one cone in whole cm², from the diameter now in its editor.
            const auto d = parseInt(m_form.text("EditDd"));
            const long double dd = d ? *d : 0;
            m_form.setText("EditSd", formatInt(d ? Round(dd * kPi * dd / 4 / 100) : 0));
        }
    }
    return page;
}

void ProjectTransfer::readDimensions(const QString& section)
{
    for (std::size_t i = kSourceKeyCount; i < kProjectKeys.size(); ++i) {
        const ProjectKey& k = kProjectKeys[i];
        const QString key = qs(k.key);
        if (k.real) {
            m_state.*k.real = readFloat(section, key, k.readerDefault);
        } else {
            int v = readInt(section, key, int(k.readerDefault));
            if (k.source == KeySource::Selector)
                v = withinItems(v, 2); // a base function is Cosh or Circle
            m_state.*k.whole = v;
        }
    }
}

void ProjectTransfer::showShapeDimensions()
{
    // The curved shapes' sizes and settings are showCurvedDimensions's.
    for (const ShapeRow& shape : kShapes) {
        if (shape.curved)
            continue;
        for (const DimensionKey& d : kDimensionKeys) {
            if (d.shape == shape.type && d.real)
                m_form.setText(editorOf(d.key), formatFloat(m_state.*d.real, m_form.decimalSeparator()));
        }
        for (std::string_view field : shape.results) {
            if (!field.empty())
                m_form.setText(field, std::string());
        }
    }
}

void ProjectTransfer::showCurvedDimensions()
{
    const char sep = m_form.decimalSeparator();
    for (const CurvePage& page : kCurvePages) {
        m_form.setText(page.length, formatFloat(m_state.*page.lengthValue, sep));
        if (page.heightValue)
            m_form.setText(page.height, formatFloat(m_state.*page.heightValue, sep));
        m_form.setSpinValue(page.multiplier, m_state.*page.division);
        m_form.setSelectorIndex(page.selector, m_state.*page.function);
    }
}

bool ProjectTransfer::writeProject(const QString& section, double us, const QString& lastProject)
{
    const char sep = m_form.decimalSeparator();
    for (std::size_t i = 0; i < kProjectKeys.size(); ++i) {
        const ProjectKey& k = kProjectKeys[i];
        QString value;
        switch (k.source) {
        case KeySource::Text:
            if (k.kind == KeyKind::Float) {
                const auto v = parseFloat(m_form.text(k.field), sep);
                if (!v)
                    return false;
                value = format(*v);
            } else {
                const auto v = parseInt(m_form.text(k.field));
                if (!v)
                    return false;
                value = QString::number(*v);
            }
            break;
        case KeySource::Spin:
            value = QString::number(m_form.spinValue(k.field));
            break;
        case KeySource::Selector:
            value = QString::number(m_form.selectorIndex(k.field));
            break;
        case KeySource::State:
            if (k.real == &CalcState::Us)
                value = format(us);
            else
                value = k.real ? format(m_state.*k.real) : QString::number(m_state.*k.whole);
            break;
        }
        if (!m_ini.writeString(section, qs(k.key), value))
            return false;
        if (i + 1 == kKeysBeforeLastProject && !m_ini.writeString(kDefaultSection, kLastProjectKey, lastProject))
            return false;
    }
    return true;
}

bool ProjectTransfer::writeFirstRun(const QString& id, int left, int top)
{
    bool ok = m_ini.eraseSection(kDefaultSection) && m_ini.writeString(kDefaultSection, QStringLiteral("id"), id);
    for (const ProjectKey& k : kProjectKeys) {
        if (!ok)
            return false;
        ok = m_ini.writeString(kDefaultSection, qs(k.key),
                               k.kind == KeyKind::Float ? format(k.firstRun) : QString::number(int(k.firstRun)));
    }
    return ok && m_ini.writeString(kDefaultSection, QStringLiteral("FormLeft"), QString::number(left)) &&
           m_ini.writeString(kDefaultSection, QStringLiteral("FormTop"), QString::number(top));
}

bool ProjectTransfer::hasDefaultProject() const
{
    return readFloat(kDefaultSection, QStringLiteral("Fb"), 0) != 0;
}

} // namespace vx
