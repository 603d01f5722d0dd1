#include "faults_p.h"

#include <winsim/control.h>

#include <mutex>
#include <QVector>

namespace {

struct Rule
{
    QString call;
    bool nullResult = false;
    HRESULT result = E_FAIL;
    winsim::control::Repeat repeat = winsim::control::Repeat::Once;
    int skip = 0;
};

struct FaultTable
{
    std::mutex mutex;
    QVector<Rule> rules;
    bool tracing = false;
    QStringList trace;
};

FaultTable& table()
{
    static FaultTable* t = new FaultTable; // outlives every static that may still call in
    return *t;
}

void addRule(Rule rule)
{
    std::lock_guard<std::mutex> lock(table().mutex);
    table().rules.append(rule);
}

} // namespace

namespace winsim {
namespace detail {

CallDecision enterCall(const char* name)
{
    CallDecision decision;
    FaultTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!t.tracing && t.rules.isEmpty())
        return decision;
    const QString call = QString::fromLatin1(name);
    if (t.tracing)
        t.trace.append(call);
    for (int i = 0; i < t.rules.size(); ++i) {
        Rule& rule = t.rules[i];
        if (rule.call != call)
            continue;
        if (rule.skip > 0) {
            --rule.skip;
            continue;
        }
        decision.outcome = rule.nullResult ? CallDecision::NullResult : CallDecision::Fail;
        decision.result = rule.nullResult ? S_OK : rule.result;
        if (rule.repeat == control::Repeat::Once)
            t.rules.remove(i);
        break;
    }
    return decision;
}

} // namespace detail

namespace control {

void failCall(const QString& call, qint32 result, Repeat repeat, int skip)
{
    Rule rule;
    rule.call = call;
    rule.result = result;
    rule.repeat = repeat;
    rule.skip = skip;
    addRule(rule);
}

void nullResultOnCall(const QString& call, Repeat repeat, int skip)
{
    Rule rule;
    rule.call = call;
    rule.nullResult = true;
    rule.repeat = repeat;
    rule.skip = skip;
    addRule(rule);
}

void clearFaults()
{
    std::lock_guard<std::mutex> lock(table().mutex);
    table().rules.clear();
}

int pendingFaults()
{
    std::lock_guard<std::mutex> lock(table().mutex);
    return table().rules.size();
}

void setCallTraceEnabled(bool enabled)
{
    std::lock_guard<std::mutex> lock(table().mutex);
    table().tracing = enabled;
}

QStringList callTrace()
{
    std::lock_guard<std::mutex> lock(table().mutex);
    return table().trace;
}

void clearCallTrace()
{
    std::lock_guard<std::mutex> lock(table().mutex);
    table().trace.clear();
}

} // namespace control
} // namespace winsim
