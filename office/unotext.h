#pragma once
// Conversions between Qt's texts and the office's texts, URLs and property
// lists.

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <QString>

#include <initializer_list>
#include <utility>

namespace office {

using ::rtl::OUString;

OUString toOUString(const QString &text);
QString toQString(const OUString &text);

// The office's file URL of a local path; a relative path is taken from the
// working directory (the office itself cannot resolve relative paths).
OUString fileUrl(const QString &path);

// A property list such as the arguments of loading or storing a document.
css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<std::pair<const char *, css::uno::Any>> values);

} // namespace office
