#include "store/fieldconverter.h"
#include "store/errors.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <cmath>

namespace store {

QVariant FieldConverter::fromText(int field, const QString &text) const
{
    const FieldDef &f = m_schema.fields[field];
    if (f.type == FieldType::Text)
        return cutToCapacity(text, f.capacity);
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    bool ok = false;
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Int: {
        int v = QLocale().toInt(t, &ok);
        if (!ok)
            v = t.toInt(&ok);
        if (!ok)
            throw ConversionError(text, "integer");
        return v;
    }
    case FieldType::Real: {
        double v = QLocale().toDouble(t, &ok);
        if (!ok)
            v = QLocale::c().toDouble(t, &ok);
        if (!ok || !std::isfinite(v))
            throw ConversionError(text, "floating point");
        return v;
    }
    case FieldType::Bool: {
        const QString l = t.toLower();
        if (l == "true" || l == "1" || l == QStringLiteral("да"))
            return true;
        if (l == "false" || l == "0" || l == QStringLiteral("нет"))
            return false;
        throw ConversionError(text, "boolean");
    }
    case FieldType::Date: {
        QDate d = QLocale().toDate(t, QLocale::ShortFormat);
        if (!d.isValid())
            d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid())
            throw ConversionError(text, "date");
        return d;
    }
    case FieldType::Time: {
        QTime tm = QTime::fromString(t, "HH:mm:ss");
        if (!tm.isValid())
            tm = QTime::fromString(t, "H:mm");
        if (!tm.isValid())
            throw ConversionError(text, "time");
        return tm;
    }
    case FieldType::Text: break;
    }
    return {};
}

QString FieldConverter::toText(int field, const QVariant &v) const
{
    if (v.isNull())
        return {};
    switch (m_schema.fields[field].type) {
    case FieldType::Text: return v.toString();
    case FieldType::AutoInc:
    case FieldType::Int: return QString::number(v.toInt());
    case FieldType::Real: return QLocale().toString(v.toDouble(), 'g', 15);
    case FieldType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date: return QLocale().toString(v.toDate(), QLocale::ShortFormat);
    case FieldType::Time: return v.toTime().toString("HH:mm:ss");
    }
    return {};
}

QVariant FieldConverter::typed(int field, const QVariant &v) const
{
    const FieldDef &f = m_schema.fields[field];
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QString && f.type != FieldType::Text)
        return fromText(field, v.toString());
    switch (f.type) {
    case FieldType::Text: return cutToCapacity(v.toString(), f.capacity);
    case FieldType::Int: return v.toInt();
    case FieldType::Real: return v.toDouble();
    case FieldType::Bool: return v.toBool();
    case FieldType::Date: return v.toDate();
    case FieldType::Time: return v.toTime();
    case FieldType::AutoInc: break;
    }
    return {};
}

int FieldConverter::toInteger(int field, const QVariant &v) const
{
    if (v.isNull())
        return 0;
    if (m_schema.fields[field].type == FieldType::Text) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw ConversionError(v.toString(), "integer");
        return n;
    }
    if (m_schema.fields[field].type == FieldType::Real)
        return int(std::nearbyint(v.toDouble()));
    return v.toInt();
}

double FieldConverter::toFloat(int field, const QVariant &v) const
{
    if (v.isNull())
        return 0.0;
    if (m_schema.fields[field].type == FieldType::Text) {
        bool ok = false;
        double d = QLocale().toDouble(v.toString(), &ok);
        if (!ok)
            d = v.toString().toDouble(&ok);
        if (!ok)
            throw ConversionError(v.toString(), "floating point");
        return d;
    }
    return v.toDouble();
}

} // namespace store
