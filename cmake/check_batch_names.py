#!/usr/bin/env python3
"""Fails where two files of one target could not be compiled in one batch (a unity build), whichever
batches they fall in today.

    check_batch_names.py TARGET STAMP SOURCE...

The build compiles the files of a target several at a time, as one text: a name that two files
define at namespace scope (most often in their anonymous namespaces) is then defined twice, and a
namespace-scope variable or type of one file shadows another file's local of that name (an error
under -Wshadow -Werror). Two files that fall in different batches build green until another change
shifts the batches. This script reads the files as text and finds such pairs in any two of them:
  - a name that both define in one namespace, or that one defines in its anonymous namespace and the
    other in the namespace around it, unless both are functions of different parameters (overloads),
    aliases or using-declarations of one entity, or public variables (the linker names two
    definitions of one, and the text does not tell a definition from an extern declaration);
  - a variable, type, alias or using-declaration that one defines at namespace scope, and a local or
    parameter (a local type or alias) of that name in a function of the other within that namespace;
  - a macro that one defines and never undefines, and the other spells.
Where the text does not say what decides (what a using-declaration names, a macro's body), it names
the pair: the advice it gives mends it all the same.
It prints each with both places, and writes STAMP only when there is none.
"""

import re
import sys
from pathlib import Path

from cpp_declarations import ANONYMOUS, read

# Which locals GCC's -Wshadow takes for shadows of a namespace's definitions of each kind (a
# using-declaration may name a variable, an alias or a class: taken as any).
SHADOWED_BY = {"variable": ("variable", "type"), "alias": ("variable", "type"), "using": ("variable", "type"),
               "type": ("type",)}
# The kinds that name another entity, by what they may name: an alias and a using-declaration of one
# class are one name of it, as two namespace aliases of one namespace are.
NAMES = {"alias": "entity", "using": "entity", "namespace alias": "namespace"}
KIND_NAMES = {"type": "a type", "variable": "a variable", "enumerator": "an enumerator", "function": "a function",
              "alias": "an alias", "using": "a using-declaration", "namespace alias": "a namespace alias"}
ADVICE = ("{target} is compiled in batches of its files, each batch as one text: two of its files may not define "
          "one name in one namespace, nor one of them a name that a local of the other shadows. Such a pair builds "
          "only while its files fall in different batches, and fails once an unrelated change moves them into "
          "one. Rename one of each pair after what it is for, or move what both need to a header they share.")


def named(definition):
    """What an alias or using-declaration names, spelled alike: a::Id for :: a :: Id."""
    return re.sub(r"\s*::\s*", "::", definition.detail).removeprefix("::")


def described(definition):
    what = KIND_NAMES[definition.kind]
    return f"{what} of {named(definition)}" if definition.kind in NAMES else what


def same_entity(first, second):
    """Whether two aliases or using-declarations could name one entity: one's qualification ends the other's
    (a::Id ends n::a::Id, not ba::Id)."""
    if NAMES[first.kind] != NAMES[second.kind]:
        return False
    shorter, longer = sorted((named(first), named(second)), key=len)
    return longer == shorter or longer.endswith("::" + shorter)


def clash(first, second):
    """Why two definitions of one name in one namespace cannot stand in one batch, or None."""
    if first.kind == second.kind == "function":
        return "functions of the same parameters" if first.detail == second.detail else None
    if first.kind in NAMES and second.kind in NAMES and same_entity(first, second):
        return None
    if first.kind == second.kind == "variable" and not (first.private or second.private):
        return None  # the linker's: the text does not tell a definition from an extern declaration
    if first.kind == second.kind and first.kind not in NAMES:
        return "a redefinition"
    return f"{described(first)} and {described(second)}"


def scope_name(scope):
    names = [name or "{anonymous}" for name in scope]
    return "namespace " + "::".join(names) if names else "the global namespace"


def found_in(scope):
    """The namespace where a name is found: one of an anonymous namespace is found around it too."""
    return tuple(name for name in scope if name != ANONYMOUS)


def definitions_by(files, keys):
    """Each definition of `files` with its file's path, under every key that `keys` gives it."""
    found = {}
    for path, declarations in files.items():
        for definition in declarations.definitions:
            for key in keys(definition):
                found.setdefault(key, []).append((path, definition))
    return found


def definition_clashes(files):
    found = []
    places = definitions_by(files, lambda definition: [(definition.name, found_in(definition.scope))])
    for same_name in places.values():
        for index, (path, definition) in enumerate(same_name):
            for other_path, other in same_name[index + 1:]:
                why = clash(definition, other) if other_path != path else None
                if why:
                    found.append(f"{path}:{definition.line}: error: '{definition.name}' is defined in "
                                 f"{scope_name(definition.scope)} here and at {other_path}:{other.line} ({why})")
    return found


def shadowings(files):
    found = []
    # GCC takes a local for a shadow only of a name of the very namespace its function is in.
    shadowed = definitions_by(files, lambda definition: [(definition.name, kind, definition.scope)
                                                         for kind in SHADOWED_BY.get(definition.kind, ())])
    for path, declarations in files.items():
        for local in declarations.locals:
            places = shadowed.get((local.name, local.kind, local.scope), ())
            other = next((place for place in places if place[0] != path), None)
            if other:
                found.append(f"{path}:{local.line}: error: the local '{local.name}' shadows the one that "
                             f"{other[0]}:{other[1].line} defines in {scope_name(local.scope)}")
    return found


def macro_clashes(files):
    found = []
    for path, declarations in files.items():
        for name, line in declarations.macros.items():
            for other_path, other in files.items():
                if other_path != path and name in other.words:
                    found.append(f"{path}:{line}: error: the macro '{name}' that this file leaves defined is a word "
                                 f"of {other_path}")
                elif other_path > path and name in other.macros:
                    found.append(f"{path}:{line}: error: the macro '{name}' is defined at "
                                 f"{other_path}:{other.macros[name]} too")
    return found


def problems(files):
    """Every clash between two of `files` (a path's declarations by its path), as messages."""
    return definition_clashes(files) + shadowings(files) + macro_clashes(files)


def main():
    if len(sys.argv) < 3:
        print("usage: check_batch_names.py TARGET STAMP SOURCE...", file=sys.stderr)
        return 2
    target, stamp, sources = sys.argv[1], Path(sys.argv[2]), sys.argv[3:]
    found = problems({source: read(source) for source in sources})
    if found:
        print("\n".join(found))
        print("error: " + ADVICE.format(target=target))
        return 1
    stamp.touch()
    return 0


if __name__ == "__main__":
    sys.exit(main())
