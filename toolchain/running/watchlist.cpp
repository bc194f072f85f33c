// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/watchlist.h"

#include "javatext/javaidentifiers.h"

namespace {

Watch unevaluated(const QString& expression)
{
    Watch w;
    w.expression = expression;
    return w;
}

}  // namespace

QStringList WatchList::expressions() const
{
    QStringList out;
    for (const Watch& w : watches_)
        out << w.expression;
    return out;
}

int WatchList::indexOf(const QString& expression) const
{
    for (int i = 0; i < watches_.size(); ++i) {
        if (watches_[i].expression == expression)
            return i;
    }
    return -1;
}

bool WatchList::add(const QString& expression)
{
    const QString e = expression.trimmed();
    if (e.isEmpty() || indexOf(e) >= 0)
        return false;
    watches_.append(unevaluated(e));
    return true;
}

bool WatchList::replace(int index, const QString& expression)
{
    if (index < 0 || index >= watches_.size())
        return false;
    const QString e = expression.trimmed();
    if (e.isEmpty())
        return remove(index);
    const int had = indexOf(e);
    if (had == index)
        return true;
    if (had >= 0)
        return false;
    watches_[index] = unevaluated(e);
    return true;
}

bool WatchList::remove(int index)
{
    if (index < 0 || index >= watches_.size())
        return false;
    watches_.removeAt(index);
    return true;
}

bool WatchList::setResult(const QString& expression, const DebugValue& value, const QString& error)
{
    const int i = indexOf(expression);
    if (i < 0)
        return false;
    Watch& w = watches_[i];
    w.value = error.isEmpty() ? value : DebugValue{};
    w.error = error;
    w.evaluated = true;
    return true;
}

void WatchList::forgetResults()
{
    for (Watch& w : watches_)
        w = unevaluated(w.expression);
}

QString assignableExpression(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    const qsizetype colon = parts.front().indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {};
    const QString kind = parts.front().left(colon);
    QString out = parts.front().mid(colon + 1);
    if (kind == QLatin1String("exception") || !javatext::isIdentifier(out))
        return {};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& p = parts[i];
        const bool element = p.size() > 2 && p.startsWith(QLatin1Char('[')) && p.endsWith(QLatin1Char(']'));
        if (element)
            out += p;
        else if (javatext::isIdentifier(p))
            out += QLatin1Char('.') + p;
        else
            return {};
    }
    return out;
}
