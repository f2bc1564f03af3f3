#include "word/layout/fields.h"

#include "word/layout/xmlutil.h"
#include "word/model/docmodel.h"

#include <QRegularExpression>
#include <optional>

namespace word::layout {

namespace {

std::optional<PageField::Kind> kindOf(const QString& instruction)
{
    const QString word = instruction.trimmed().section(u' ', 0, 0).toUpper();
    if (word == u"PAGE")
        return PageField::Page;
    if (word == u"NUMPAGES")
        return PageField::NumPages;
    if (word == u"SECTIONPAGES")
        return PageField::SectionPages;
    return std::nullopt;
}

QString unescape(QString s)
{
    return s.replace(u"&lt;"_qs, u"<"_qs).replace(u"&gt;"_qs, u">"_qs).replace(u"&quot;"_qs, u"\""_qs).replace(u"&amp;"_qs, u"&"_qs);
}

bool onOff(pugi::xml_node n)
{
    const QString v = xml::attr(n, "val");
    return v.isEmpty() || !(v == u"0" || v == u"false" || v == u"off");
}

// The check box a field's begin holds, read from its ffData.
CheckBoxField readCheckBox(const QString& beginXml)
{
    CheckBoxField out;
    pugi::xml_document doc;
    if (!xml::parse(doc, beginXml))
        return out;
    if (pugi::xml_node vanish = xml::child(xml::find(doc, "rPr"), "vanish"))
        out.hidden = onOff(vanish);
    const pugi::xml_node box = xml::find(doc, "checkBox");
    if (pugi::xml_node checked = xml::child(box, "checked"))
        out.checked = onOff(checked);
    else if (pugi::xml_node def = xml::child(box, "default"))
        out.checked = onOff(def);
    if (pugi::xml_node size = xml::child(box, "size"); size && !xml::child(box, "sizeAuto")) {
        bool ok = false;
        const double halfPoints = xml::attr(size, "val").toDouble(&ok);
        // Word's own range for a box: 1 to 1638 points.
        if (ok && halfPoints >= 2 && halfPoints <= 3276)
            out.size = halfPoints / 2;
    }
    return out;
}

// Every markup point of the text in order, with the XML it keeps.
template<typename Fn>
void forEachMarkup(const model::DocModel& model, Fn&& fn)
{
    const auto& markups = model.preserved().markups;
    model.anchors().forEachPoint(0, model.endPosition() + 1, [&](const model::AnchorPoint& p) {
        if (p.kind == model::AnchorPoint::Markup && p.ref >= 0 && size_t(p.ref) < markups.size())
            fn(p, markups[size_t(p.ref)].xml);
    });
}

} // namespace

std::vector<CheckBoxField> checkBoxes(const model::DocModel& model)
{
    struct Open {
        QString instruction;
        bool box = false;
        CheckBoxField field;
    };
    std::vector<CheckBoxField> out;
    const auto& markups = model.preserved().markups;
    bool any = false;
    for (const auto& m : markups) {
        if (m.xml.contains(u"checkBox")) {
            any = true;
            break;
        }
    }
    if (!any)
        return out;
    static const QRegularExpression charType(QStringLiteral("fldCharType=\"(\\w+)\""));
    static const QRegularExpression instrText(QStringLiteral("instrText[^>]*>([^<]*)<"));
    std::vector<Open> open;
    forEachMarkup(model, [&](const model::AnchorPoint& p, const QString& xml) {
        if (xml.contains(u"fldChar")) {
            const QString type = charType.match(xml).captured(1);
            if (type == u"begin") {
                Open o;
                o.box = xml.contains(u"checkBox");
                if (o.box)
                    o.field = readCheckBox(xml);
                o.field.position = p.position;
                open.push_back(o);
            } else if (type == u"end" && !open.empty()) {
                const Open o = open.back();
                open.pop_back();
                if (o.box && o.instruction.trimmed().section(u' ', 0, 0).toUpper() == u"FORMCHECKBOX")
                    out.push_back(o.field);
            }
        } else if (xml.contains(u"instrText") && !open.empty()) {
            open.back().instruction += unescape(instrText.match(xml).captured(1));
        }
    });
    std::sort(out.begin(), out.end(), [](const CheckBoxField& a, const CheckBoxField& b) { return a.position < b.position; });
    return out;
}

std::vector<PageField> pageFields(const model::DocModel& model)
{
    struct Open {
        QString instruction;
        int separator = -1;
    };
    std::vector<PageField> out;
    std::vector<Open> complex;
    std::vector<std::pair<int, QString>> simple;   // start, instruction
    static const QRegularExpression charType(QStringLiteral("fldCharType=\"(\\w+)\""));
    static const QRegularExpression instrText(QStringLiteral("instrText[^>]*>([^<]*)<"));
    static const QRegularExpression simpleOpen(QStringLiteral("^<(\\w+:)?fldSimple\\b[^>]*\\binstr=\"([^\"]*)\""));
    static const QRegularExpression simpleClose(QStringLiteral("^</(\\w+:)?fldSimple>"));
    forEachMarkup(model, [&](const model::AnchorPoint& p, const QString& xml) {
        if (xml.contains(u"fldChar")) {
            const QString type = charType.match(xml).captured(1);
            if (type == u"begin") {
                complex.push_back({});
            } else if (type == u"separate" && !complex.empty()) {
                complex.back().separator = p.position;
            } else if (type == u"end" && !complex.empty()) {
                const Open o = complex.back();
                complex.pop_back();
                if (const auto kind = kindOf(o.instruction); kind && o.separator >= 0)
                    out.push_back({*kind, o.separator, p.position});
            }
        } else if (xml.contains(u"instrText") && !complex.empty()) {
            complex.back().instruction += unescape(instrText.match(xml).captured(1));
        } else if (const auto m = simpleOpen.match(xml); m.hasMatch()) {
            simple.emplace_back(p.position, unescape(m.captured(2)));
        } else if (simpleClose.match(xml).hasMatch() && !simple.empty()) {
            const auto [start, instruction] = simple.back();
            simple.pop_back();
            if (const auto kind = kindOf(instruction))
                out.push_back({*kind, start, p.position});
        }
    });
    return out;
}

} // namespace word::layout
