#include "umlitetheme_p.h"

#include "umlitestyle_p.h"
#include "umskin.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QEvent>
#include <QObject>
#include <QSet>
#include <QStyle>
#include <QVariant>
#include <QWidget>

namespace umlite {
namespace {

const char k_classProperty[] = "umThemeClass";

// Scope roots and the classes their sheet carries, in the order they came.
QHash<const QWidget*, QStringList>& scopes()
{
    static QHash<const QWidget*, QStringList> instance;
    return instance;
}

// Composed sheets by theme and classes. Widgets are styled on the GUI thread
// only, but resources may be registered from anywhere.
struct ComposedCache {
    QMutex mutex;
    QHash<QString, QString> sheets;
};

ComposedCache& composedCache()
{
    static ComposedCache instance;
    return instance;
}

QString withoutComments(const QString& text)
{
    QString out;
    out.reserve(text.size());
    int i = 0;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('/') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('*')) {
            const int end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                break;
            i = end + 2;
            continue;
        }
        out += text.at(i++);
    }
    return out;
}

// Walks a selector list keeping track of brackets, parentheses and quotes,
// so that commas, colons and blanks inside them are not taken for syntax.
class SelectorScanner
{
public:
    bool atTopLevel() const { return m_depth == 0 && m_quote.isNull(); }

    void feed(QChar c)
    {
        if (!m_quote.isNull()) {
            if (m_escaped)
                m_escaped = false;
            else if (c == QLatin1Char('\\'))
                m_escaped = true;
            else if (c == m_quote)
                m_quote = QChar();
            return;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            m_quote = c;
        else if (c == QLatin1Char('[') || c == QLatin1Char('('))
            ++m_depth;
        else if ((c == QLatin1Char(']') || c == QLatin1Char(')')) && m_depth > 0)
            --m_depth;
    }

private:
    int m_depth = 0;
    QChar m_quote;
    bool m_escaped = false;
};

QStringList splitSelectors(const QString& selectors)
{
    QStringList parts;
    SelectorScanner scanner;
    int start = 0;
    for (int i = 0; i < selectors.size(); ++i) {
        const QChar c = selectors.at(i);
        if (c == QLatin1Char(',') && scanner.atTopLevel()) {
            parts << selectors.mid(start, i - start).trimmed();
            start = i + 1;
            continue;
        }
        scanner.feed(c);
    }
    parts << selectors.mid(start).trimmed();
    parts.removeAll(QString());
    return parts;
}

bool isCombinator(QChar c)
{
    return c.isSpace() || c == QLatin1Char('>') || c == QLatin1Char('+') || c == QLatin1Char('~');
}

// The selector with the attribute added to its last compound, ahead of any
// pseudo state or sub-control, which must stay last.
QString narrowedSelf(const QString& selector, const QString& attribute)
{
    int compoundStart = 0;
    int pseudoAt = -1;
    SelectorScanner scanner;
    for (int i = 0; i < selector.size(); ++i) {
        const QChar c = selector.at(i);
        if (scanner.atTopLevel()) {
            if (isCombinator(c)) {
                compoundStart = i + 1;
                pseudoAt = -1;
            } else if (c == QLatin1Char(':') && pseudoAt < 0) {
                pseudoAt = i;
            }
        }
        scanner.feed(c);
    }
    const int at = pseudoAt >= 0 ? pseudoAt : selector.size();
    QString narrowed = selector;
    // A bare pseudo state or attribute needs a type to hang on.
    if (at == compoundStart)
        narrowed.insert(at, QLatin1Char('*'));
    narrowed.insert(at == compoundStart ? at + 1 : at, attribute);
    return narrowed;
}

QString classAttribute(const QString& themeClass)
{
    QString quoted = themeClass;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QStringLiteral("[%1=\"%2\"]").arg(QLatin1String(k_classProperty), quoted);
}

QWidget* scopeRoot(QWidget* widget)
{
    const auto& known = scopes();
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (known.contains(w))
            return w;
    }
    return widget->window();
}

void repolishTree(QWidget* widget, bool includingSelf);
bool refreshScope(QWidget* root);
enum class Deferral { None, UntilPlaced, UntilPolished };
bool joinScope(QWidget* root, const QStringList& themeClasses, Deferral deferral);

// Widgets are often themed while their part of the window is still being
// built apart. The top of such a part holds its classes without a sheet:
// placed into another scope it hands them over, so that one sheet is parsed
// for the whole window; polished on its own first, it takes its sheet then.
class PendingRoots : public QObject
{
public:
    // Value: the root owns its scope, so it keeps its classes wherever it is
    // placed. Windows defer too: taking their sheet once, when first
    // measured, shown or polished, spares Qt a parse per class that joins.
    QHash<const QWidget*, bool> roots;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::ParentChange && type != QEvent::Polish)
            return false;
        auto* root = static_cast<QWidget*>(watched);
        const auto it = roots.constFind(root);
        if (it == roots.constEnd())
            return false;
        if (type == QEvent::ParentChange && (it.value() || !root->parentWidget()))
            return false;
        roots.erase(it);
        root->removeEventFilter(this);
        if (type == QEvent::Polish) {
            refreshScope(root);
            return false;
        }
        const QStringList classes = scopes().take(root);
        joinScope(scopeRoot(root->parentWidget()), classes, Deferral::UntilPlaced);
        return false;
    }
};

PendingRoots& pending()
{
    // Outlives every widget: roots may go after the application object.
    static PendingRoots* instance = new PendingRoots;
    return *instance;
}

// Qt parses a sheet once per widget that holds it, and reads its values again
// for each parse: a sheet set on every new window is all that work per window.
// Windows of the same classes therefore share a hidden parent that holds the
// sheet for them; they stay windows. Never destroyed, as the skin.
QHash<QString, QWidget*>& holders()
{
    // Outlives every window it may hold, including windows still shown while
    // the application goes away.
    static auto* instance = new QHash<QString, QWidget*>;
    return *instance;
}

const char k_heldClassesProperty[] = "umHeldThemeClasses";

bool isSheetHolder(const QWidget* widget)
{
    return widget && !widget->parentWidget() && widget->property(k_heldClassesProperty).isValid();
}

// Brings the holder's sheet to the current theme; true when it changed, which
// makes Qt restyle every window it holds.
bool refreshHolder(QWidget* holder)
{
    // Narrowed throughout: its windows may change class and must not keep
    // rules of the class they had.
    const QString sheet = composedSheet(holder->property(k_heldClassesProperty).toStringList());
    if (holder->styleSheet() == sheet)
        return false;
    holder->setStyleSheet(sheet);
    return true;
}

QWidget* sheetHolder(const QStringList& themeClasses)
{
    QWidget*& holder = holders()[themeClasses.join(QLatin1Char('\n'))];
    if (!holder) {
        holder = new QWidget;
        holder->setObjectName(QStringLiteral("umlite_sheet_holder"));
        holder->setProperty(k_heldClassesProperty, themeClasses);
        // Polished, it has Qt restyle what it holds when its sheet changes.
        holder->ensurePolished();
    }
    refreshHolder(holder);
    return holder;
}

// Gives root the sheet for its classes; true when the sheet changed, which
// makes Qt re-polish the root's whole subtree by itself.
bool refreshScope(QWidget* root)
{
    if (pending().roots.contains(root))
        return false;
    const QStringList classes = scopes().value(root);
    QWidget* holder = root->parentWidget();
    if (isSheetHolder(holder)) {
        const bool restyled = refreshHolder(holder);
        // Classes that joined later are carried by the window itself.
        if (holder->property(k_heldClassesProperty).toStringList() == classes && root->styleSheet().isEmpty())
            return restyled;
    }
    const QString sheet = composedSheet(classes, root->property(k_classProperty).toString());
    if (root->styleSheet() == sheet)
        return false;
    const bool hadSheet = !root->styleSheet().isEmpty();
    root->setStyleSheet(sheet);
    // Qt re-reads a changed sheet only for a polished widget; before that it
    // keeps the sheet it parsed first, as do descendants polished early.
    if (hadSheet && !root->testAttribute(Qt::WA_WState_Polished))
        repolishTree(root, true);
    return true;
}

bool joinScope(QWidget* root, const QStringList& themeClasses, Deferral deferral)
{
    auto& known = scopes();
    auto it = known.find(root);
    if (it == known.end()) {
        it = known.insert(root, QStringList());
        QObject::connect(root, &QObject::destroyed, [root] {
            scopes().remove(root);
            pending().roots.remove(root);
        });
        if (deferral != Deferral::None && !root->testAttribute(Qt::WA_WState_Polished)) {
            pending().roots.insert(root, deferral == Deferral::UntilPolished);
            root->installEventFilter(&pending());
        }
    }
    for (const QString& themeClass : themeClasses) {
        if (!themeClass.isEmpty() && !it->contains(themeClass))
            it->append(themeClass);
    }
    return refreshScope(root);
}

// Only what was polished is polished again, the rest is when first shown.
// Unpolishing is what drops the sheets and rules the style sheet style
// parsed and looked up early, but it only does so for widgets it marked as
// styled, which it does when it first polishes them: mark the others too.
void repolishTree(QWidget* widget, bool includingSelf)
{
    QList<QWidget*> widgets = widget->findChildren<QWidget*>();
    if (includingSelf)
        widgets.prepend(widget);
    for (QWidget* w : qAsConst(widgets)) {
        const bool polished = w->testAttribute(Qt::WA_WState_Polished);
        if (!polished)
            w->setAttribute(Qt::WA_StyleSheet, true);
        w->style()->unpolish(w);
        if (polished)
            w->style()->polish(w);
    }
}

} // namespace

void settleThemeSheet(QWidget* root)
{
    PendingRoots& waiting = pending();
    const auto it = waiting.roots.find(root);
    if (it == waiting.roots.end())
        return;
    waiting.roots.erase(it);
    root->removeEventFilter(&waiting);
    // Polished before it has a sheet, each widget is restyled once when the
    // sheet arrives; polished after, Qt matches its rules twice.
    root->ensurePolished();
    if (root->isWindow() && !root->parentWidget() && root->styleSheet().isEmpty()) {
        const QStringList classes = scopes().value(root);
        if (!classes.isEmpty()) {
            root->setParent(sheetHolder(classes), root->windowFlags());
            return;
        }
    }
    refreshScope(root);
}

QString rootSheet(const QString& sheet)
{
    const QString text = withoutComments(sheet);
    if (text.trimmed().isEmpty())
        return QString();
    // Qt reads bare declarations of a widget's sheet as rules for everything.
    return text.contains(QLatin1Char('{')) ? text + QLatin1Char('\n') : QStringLiteral("* {%1}\n").arg(text);
}

QString scopedSheet(const QString& sheet, const QString& themeClass)
{
    const QString text = withoutComments(sheet);
    const QString attribute = classAttribute(themeClass);
    const QString ancestor = QLatin1Char('*') + attribute + QLatin1Char(' ');
    // Declarations without a selector style the widget and what it holds.
    if (!text.contains(QLatin1Char('{')))
        return text.trimmed().isEmpty() ? QString()
                                         : QStringLiteral("*%1, %2* {%3}\n").arg(attribute, ancestor, text);
    QString out;
    int pos = 0;
    while (true) {
        const int open = text.indexOf(QLatin1Char('{'), pos);
        if (open < 0)
            break;
        const int close = text.indexOf(QLatin1Char('}'), open + 1);
        if (close < 0)
            break;
        QStringList narrowed;
        for (const QString& selector : splitSelectors(text.mid(pos, open - pos)))
            narrowed << narrowedSelf(selector, attribute) << ancestor + selector;
        if (!narrowed.isEmpty())
            out += narrowed.join(QLatin1String(", ")) + QLatin1Char(' ') + text.mid(open, close - open + 1)
                 + QLatin1Char('\n');
        pos = close + 1;
    }
    return out;
}

QString composedSheet(const QStringList& themeClasses, const QString& rootClass)
{
    if (themeClasses.isEmpty())
        return QString();
    const QString theme = UmLiteSkin::currentThemeName();
    const QString key = theme + QLatin1Char('\n') + rootClass + QLatin1Char('\n') + themeClasses.join(QLatin1Char('\n'));
    ComposedCache& cache = composedCache();
    {
        QMutexLocker lock(&cache.mutex);
        const auto hit = cache.sheets.constFind(key);
        if (hit != cache.sheets.constEnd())
            return hit.value();
    }
    QString composed;
    bool complete = true;
    for (const QString& themeClass : themeClasses) {
        const QString sheet = withScreenFactorInPointSizes(UmLiteSkin::themeStyleSheet(themeClass));
        complete = complete && !sheet.isEmpty();
        // On its root a sheet already reaches just the root and what it holds,
        // which is all the narrowing would say: Qt parses and matches less.
        composed += themeClass == rootClass ? rootSheet(sheet) : scopedSheet(sheet, themeClass);
    }
    // A class without a sheet may get one from resources registered later.
    if (complete) {
        QMutexLocker lock(&cache.mutex);
        if (cache.sheets.size() > 64)
            cache.sheets.clear();
        cache.sheets.insert(key, composed);
    }
    return composed;
}

void forgetThemeSheets()
{
    QMutexLocker lock(&composedCache().mutex);
    composedCache().sheets.clear();
}

void applyThemeSheet(QWidget* widget, const QString& themeClass, bool withChildren, bool ownsScope)
{
    if (!widget)
        return;
    const bool classChanged = widget->property(k_classProperty).toString() != themeClass;
    if (classChanged)
        widget->setProperty(k_classProperty, themeClass);

    QWidget* root = ownsScope ? widget : scopeRoot(widget);
    const bool restyled = joinScope(root, {themeClass}, ownsScope ? Deferral::UntilPolished : Deferral::UntilPlaced);
    if (withChildren) {
        // Roots inside the widget carry sheets of the theme that was current.
        const QList<const QWidget*> roots = scopes().keys();
        for (const QWidget* root : roots) {
            if (widget->isAncestorOf(root))
                refreshScope(const_cast<QWidget*>(root));
        }
    }
    // Unpolished widgets pick their rules up when they are first shown.
    if (!widget->testAttribute(Qt::WA_WState_Polished))
        return;
    if (classChanged && !restyled)
        repolishTree(widget, true);
    else if (withChildren && !restyled)
        repolishTree(widget, false);
}

} // namespace umlite
