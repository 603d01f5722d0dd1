#!/usr/bin/env python3
"""Checks that platform/include declares only what the Windows SDK declares.

Every name the SDK-shaped headers of platform/include declare (outside winsim/,
which is the simulation's own, and wrl/, whose class templates the reference
headers lack) must exist in the real SDK's headers with the same spelling,
namespace and signature: enumerators and numeric macros with the same value,
functions, interface methods and structure fields with the same type as
spelled here, typedefs and types by name.

How: clang dumps the declarations of our headers; their values are read by
running a small program built on them; the assertions that follow are then
compiled by MinGW-w64 against MinGW's headers and the newer Windows Runtime
headers (the winsdk folder), with platform/ off the include path.

Usage: check-sdk-names.py WINSDK_INCLUDE_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OURS = os.path.join(ROOT, 'platform', 'include')

# Where the real SDK spells a name another way that means the same to code
# written against it; each is looked at by hand.
SAME_BY_READING = {
    '__int64': 'a compiler keyword on Windows; a macro in MinGW',
    'REFGUID': 'a macro (const GUID&) in the SDK', 'REFIID': 'a macro (const IID&) in the SDK',
    'REFCLSID': 'a macro (const CLSID&) in the SDK', 'REFFMTID': 'a macro (const FMTID&) in the SDK',
    'REFPROPVARIANT': 'a macro (const PROPVARIANT&) in the SDK',
    'REFPROPERTYKEY': 'a macro (const PROPERTYKEY&) in the SDK',
    'HRESULT_FROM_WIN32': 'a macro or an inline function, as the SDK is configured',
    'IsEqualPropertyKey': 'a macro in the SDK',
    'PropVariantInit': 'an inline function or a macro, as the SDK is configured',
    '_GUID::Data1': 'unsigned long in the SDK: 32 bits on Windows, as uint32_t is here',
    'HSTRING_HEADER::Reserved': 'an unnamed union of PVOID Reserved1 and char Reserved2[24], as here',
    'IUnknown::QueryInterface': 'overloaded with the template QueryInterface(Q**), as here',
    'RtlGetVersion': 'declared in the driver kit\'s headers (ntddk.h/wdm.h), which MinGW ships incomplete',
    'HWND_TOP': 'a pointer constant ((HWND)0)', 'HWND_BOTTOM': 'a pointer constant ((HWND)1)',
    'HWND_TOPMOST': 'a pointer constant ((HWND)-1)', 'HWND_NOTOPMOST': 'a pointer constant ((HWND)-2)',
}
# Function-like macros and the declaration macros: they only have to exist.
EXIST_ONLY = {'WINAPI', 'NTAPI', 'STDMETHODCALLTYPE', 'STDAPICALLTYPE', 'EXTERN_C', 'IFACEMETHODIMP',
              'STDMETHOD', 'STDMETHOD_', 'IFACEMETHOD', 'IFACEMETHOD_', 'IFACEMETHODIMP_',
              'SUCCEEDED', 'FAILED', 'IsEqualIID', 'IsEqualCLSID', 'IID_PPV_ARGS'}
# Macros of ours that are the compiler's part on Windows.
COMPILER = {'__uuidof'}


def headers():
    return sorted(f for f in os.listdir(OURS) if f.endswith('.h'))


def run(cmd, **kw):
    result = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if result.returncode != 0:
        sys.stderr.write(result.stdout + result.stderr)
        raise SystemExit('sdk names: FAILED: %s' % ' '.join(cmd[:2]))
    return result.stdout


def declarations(tu):
    ast = json.loads(run(['clang++', '-std=c++17', '-fsyntax-only', '-I' + OURS,
                          '-Xclang', '-ast-dump=json', tu]))
    found = []
    current = [None]

    def seen(loc):
        if not loc:
            return
        if 'spellingLoc' in loc:
            seen(loc['spellingLoc'])
            seen(loc.get('expansionLoc'))
        elif 'file' in loc:
            current[0] = loc['file']

    def walk(node, scope, record, skip):
        seen(node.get('loc'))
        declared_in = current[0]
        extent = node.get('range', {})
        seen(extent.get('begin'))
        seen(extent.get('end'))
        kind = node.get('kind') or ''
        name = node.get('name')
        ours = (declared_in and declared_in.startswith(OURS + '/') and
                os.path.dirname(declared_in) == OURS)
        if ours and name and not skip and not node.get('isImplicit'):
            found.append(dict(kind=kind, scope=scope, name=name, record=record,
                              type=node.get('type', {}).get('qualType', '')))
        # Templates and function bodies: their insides are not declarations of the SDK.
        if kind.startswith('ClassTemplate') or kind in ('FunctionTemplateDecl', 'FunctionDecl', 'CXXMethodDecl'):
            skip = True
        inner_scope = scope + [name] if kind in ('NamespaceDecl', 'CXXRecordDecl', 'EnumDecl') and name else scope
        inner_record = node if kind == 'CXXRecordDecl' else record
        for child in node.get('inner', []):
            walk(child, inner_scope, inner_record, skip)

    walk(ast, [], None, False)
    return found


def split_function(type_text):
    match = re.match(r'^(.*?)\s*\((.*)\)$', type_text)
    return match.group(1), match.group(2)


def in_scope(scope, text):
    return ''.join('namespace %s { ' % s for s in scope) + text + ' }' * len(scope)


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    work = tempfile.mkdtemp()
    try:
        check(sys.argv[1], work)
    finally:
        shutil.rmtree(work)


def check(winsdk, work):
    ours = os.path.join(work, 'ours.cpp')
    with open(ours, 'w') as f:
        f.write(''.join('#include <%s>\n' % h for h in headers()))

    checks = []   # (name, assertion)
    values = []   # (name, expression) read from our headers
    skipped = set()
    for d in declarations(ours):
        kind, scope, name = d['kind'], d['scope'], d['name']
        qualified = '::'.join(scope + [name])
        full = '::' + qualified
        if qualified in SAME_BY_READING or name in SAME_BY_READING:
            skipped.add(qualified)
            continue
        if kind == 'EnumConstantDecl':
            values.append((qualified, full))
        elif kind == 'FunctionDecl' and d['record'] is None and not name.startswith('operator'):
            result, params = split_function(d['type'])
            checks.append((qualified, 'static_assert(std::is_same<decltype(&%s), %s (*)(%s)>::value, "%s");'
                           % (full, result, params, qualified)))
        elif kind == 'CXXMethodDecl' and d['record'] is not None:
            result, params = split_function(d['type'])
            owner = '::' + '::'.join(scope)
            checks.append((qualified, in_scope(scope[:-1], 'static_assert(std::is_same<decltype(&%s::%s), '
                           '%s (STDMETHODCALLTYPE %s::*)(%s)>::value, "%s");'
                           % (owner, name, result, owner, params, qualified))))
        elif kind == 'FieldDecl' and d['record'] is not None and d['record'].get('name'):
            owner = '::' + '::'.join(scope)
            checks.append((qualified, in_scope(scope[:-1], 'static_assert(std::is_same<decltype(%s::%s), %s>::value, "%s");'
                           % (owner, name, d['type'], qualified))))
        elif kind in ('TypedefDecl', 'CXXRecordDecl', 'EnumDecl'):
            checks.append((qualified, 'typedef %s check_%d;' % (full, len(checks))))
        elif kind == 'VarDecl' and d['record'] is None:
            checks.append((qualified, 'static_assert(sizeof(%s) > 0, "%s");' % (full, qualified)))

    defines = run(['clang++', '-std=c++17', '-E', '-dM', '-I' + OURS, ours])
    for header in headers():
        for match in re.finditer(r'^\s*#\s*define\s+([A-Za-z_]\w*)(\(?)', open(os.path.join(OURS, header)).read(), re.M):
            name, function_like = match.group(1), match.group(2)
            if name in COMPILER or name.startswith('WINSIM_') or name in SAME_BY_READING:
                skipped.add(name)
                continue
            body = re.search(r'^#define %s(?:\([^)]*\))? ?(.*)$' % re.escape(name), defines, re.M).group(1)
            if function_like or name in EXIST_ONLY or not body.strip():
                checks.append((name, '#ifndef %s\n#error "%s"\n#endif' % (name, name)))
            else:
                values.append((name, name))

    probe = os.path.join(work, 'probe.cpp')
    with open(probe, 'w') as f:
        f.write('#include "ours.cpp"\n#include <cstdio>\nint main() {\n')
        for name, expr in values:
            f.write('    std::printf("%%lld\\n", (long long)(%s));\n' % expr)
        f.write('}\n')
    run(['clang++', '-std=c++17', '-I' + OURS, probe, '-o', os.path.join(work, 'probe')])
    read = run([os.path.join(work, 'probe')]).split()
    for (name, expr), value in zip(values, read):
        checks.append((name, 'static_assert((unsigned long long)(%s) == %sULL || (unsigned)(%s) == (unsigned)%sLL, "%s");'
                       % (expr, value, expr, value, name)))

    real = os.path.join(work, 'real.cpp')
    with open(real, 'w') as f:
        # windows.h first, as Windows code includes it; the others after it.
        f.write('#include <type_traits>\n#include <cstdint>\n#define STRSAFE_NO_DEPRECATE\n')
        f.write('#include <windows.h>\n#include <objbase.h>\n')
        f.write(''.join('#include <%s>\n' % h for h in headers() if h != 'windows.h'))
        f.write('\n'.join(check for _, check in checks) + '\n')
    result = subprocess.run(['x86_64-w64-mingw32-g++-posix', '-std=c++17', '-DUNICODE',
                             '-D____FIReference_1_BYTE_INTERFACE_DEFINED__', '-I' + winsdk,
                             '-fsyntax-only', '-w', '-fmax-errors=50', real],
                            capture_output=True, text=True, cwd=work)
    if result.returncode != 0:
        errors = [l for l in result.stderr.splitlines() if 'error' in l]
        sys.stderr.write('\n'.join(errors) + '\n')
        raise SystemExit('sdk names: FAILED: platform/include declares names the SDK does not, or not so (above)')
    print('sdk names: %d declarations of platform/include match the real SDK; %d differ only in spelling'
          ' and are checked by reading (listed in scripts/check-sdk-names.py)' % (len(checks), len(skipped)))


if __name__ == '__main__':
    main()
