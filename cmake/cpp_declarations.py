"""What a C++ source file declares, read from its text without compiling it: the names it defines at
namespace scope (with their namespace, their kind and whether they are the file's own), the locals
and parameters of its functions, and the macros it leaves defined.

It reads the code as clang-format lays it out (a pointer's star beside its type, spaces around binary
operators) and takes macros' uses at namespace scope, such as TEST(Suite, Case) { ... }, for what
they look like; it does not expand macros or follow includes.
"""

import re
from collections import namedtuple
from pathlib import Path

TOKEN = re.compile(
    r"""
      (?P<comment>//[^\n]*|/\*.*?\*/)
    | (?P<directive>^[ \t]*\#(?:\\\n|[^\n])*)
    | (?P<text>(?:u8|[uUL])?R"(?P<delimiter>[^()\\\s]{0,16})\(.*?\)(?P=delimiter)"
              |(?:u8|[uUL])?"(?:\\.|[^"\\\n])*")
    | (?P<number>\.?\d(?:'?[\w.]|[eEpP][+-])*)
    | (?P<character>(?:u8|[uUL])?'(?:\\.|[^'\\\n])*')
    | (?P<word>[A-Za-z_]\w*)
    | (?P<punctuation>::|->|\S)
    """,
    re.X | re.S | re.M,
)

KEYWORDS = frozenset("""alignas alignof and asm auto bool break case catch char char8_t char16_t char32_t class
concept const consteval constexpr constinit const_cast continue co_await co_return co_yield decltype default
delete do double dynamic_cast else enum explicit export extern false final float for friend goto if inline int
long mutable namespace new noexcept not nullptr operator or override private protected public register
reinterpret_cast requires return short signed sizeof static static_assert static_cast struct switch template
this thread_local throw true try typedef typeid typename union unsigned using virtual void volatile wchar_t
while""".split())
TYPE_KEYWORDS = frozenset("auto bool char char8_t char16_t char32_t double float int long short signed unsigned "
                          "wchar_t".split())
CLASS_KEYS = ("struct", "class", "union")
ANONYMOUS = ""
# What may follow the name in a declaration of a variable or parameter.
AFTER_DECLARED_NAME = frozenset("= { ; , ) : ( [".split())

Token = namedtuple("Token", "kind text line spaced")
# kind: type, variable, enumerator, function, alias, using, namespace alias; scope: the namespaces it
# is in, ANONYMOUS for an anonymous one; private: whether the name is the file's own (internal
# linkage); detail: what an alias or using-declaration names, a function's parameter types.
Definition = namedtuple("Definition", "name kind scope private line detail")
Local = namedtuple("Local", "name kind scope line")
# A file's definitions and locals, the macros it leaves defined (name -> line) and all its words.
Declarations = namedtuple("Declarations", "definitions locals macros words")


def tokenize(text):
    """The tokens of a C++ text, and the macros that it defines and does not undefine afterwards."""
    tokens = []
    macros = {}
    line = 1
    position = 0
    for found in TOKEN.finditer(text):
        line += text.count("\n", position, found.start())
        position = found.start()
        kind = found.lastgroup
        if kind == "directive":
            directive = re.match(r"\s*#\s*(define|undef)\s+([A-Za-z_]\w*)", found.group())
            if directive and directive.group(1) == "define":
                macros[directive.group(2)] = line
            elif directive:
                macros.pop(directive.group(2), None)
        elif kind != "comment":
            spaced = found.start() == 0 or text[found.start() - 1].isspace()
            tokens.append(Token(kind, found.group() if kind != "text" else '""', line, spaced))
    return tokens, macros


def is_name(token):
    return token.kind == "word" and token.text not in KEYWORDS


def closing(tokens, start, opening, closer):
    """The index after the bracket that closes the one at `start`."""
    depth = 0
    for index in range(start, len(tokens)):
        if tokens[index].text == opening:
            depth += 1
        elif tokens[index].text == closer:
            depth -= 1
            if depth == 0:
                return index + 1
    return len(tokens)


def without_prefix(head):
    """A declaration's tokens without its template header and attributes, and the header."""
    start = 0
    while start < len(head):
        if head[start].text == "template" and start + 1 < len(head) and head[start + 1].text == "<":
            start = closing(head, start + 1, "<", ">")
        elif head[start].text == "[" and start + 1 < len(head) and head[start + 1].text == "[":
            start = closing(head, start, "[", "]")
        else:
            break
    return head[start:], " ".join(token.text for token in head[:start] if token.text != "typename")


def top_level(head, wanted):
    """The index of the first of `wanted` outside brackets in a declaration's head, or None."""
    depth = 0
    for index, token in enumerate(head):
        if depth == 0 and token.text in wanted:
            return index
        if token.text in "(<[{":
            depth += 1
        elif token.text in ")>]}" and depth > 0:
            depth -= 1
    return None


def parameter_types(head, opening):
    """A function's parameter types as one text, without names and default arguments."""
    parameters = head[opening + 1:closing(head, opening, "(", ")") - 1]
    types = []
    while parameters:
        end = top_level(parameters, (",",))
        parameter = parameters[:end]
        parameters = parameters[end + 1:] if end is not None else []
        default = top_level(parameter, ("=",))
        parameter = parameter[:default]
        if len(parameter) > 1 and is_name(parameter[-1]) and parameter[-2].text != "::":
            parameter = parameter[:-1]
        types.append(" ".join(token.text for token in parameter))
    return ", ".join(type for type in types if type != "void")


def is_type_end(tokens, index):
    """Whether the token at `index` can end the type of a declaration that names what follows it."""
    while index > 0 and tokens[index].text in ("*", "&") and not tokens[index].spaced:
        index -= 1
    token = tokens[index]
    if token.text in ("*", "&"):
        return False
    if token.text == ">":
        while index > 0 and tokens[index - 1].text == ">":
            index -= 1
        return not tokens[index].spaced
    return is_name(token) or token.text in TYPE_KEYWORDS


class Reader:
    """Walks one file's tokens: what it defines at namespace scope, and the locals of its functions."""

    def __init__(self, tokens):
        self.tokens = tokens
        self.definitions = []
        self.locals = []

    def read(self):
        index = 0
        while index < len(self.tokens):  # past a brace that closes nothing
            index = self.namespace_body(index, (), False)
        return self

    def namespace_body(self, index, scope, private):
        while index < len(self.tokens) and self.tokens[index].text != "}":
            index = self.namespace_member(index, scope, private)
        return index + 1

    def namespace_member(self, index, scope, private):
        tokens = self.tokens
        text = tokens[index].text
        if text == ";":
            return index + 1
        if text == "inline" and index + 1 < len(tokens) and tokens[index + 1].text == "namespace":
            index += 1
            text = "namespace"
        if text == "namespace":
            end = index + 1
            while end < len(tokens) and tokens[end].text not in ("{", "=", ";"):
                end += 1
            names = tuple(token.text for token in tokens[index + 1:end] if token.text != "::")
            if end < len(tokens) and tokens[end].text == "{":
                return self.namespace_body(end + 1, scope + (names or (ANONYMOUS,)), private or not names)
            after = self.statement_end(end)
            if end < len(tokens) and tokens[end].text == "=":
                target = "".join(token.text for token in tokens[end + 1:after - 1])
                self.define(names[0], "namespace alias", scope, private, tokens[index].line, target)
            return after
        if text == "extern" and index + 2 < len(tokens) and tokens[index + 1].kind == "text" \
                and tokens[index + 2].text == "{":
            return self.namespace_body(index + 3, scope, private)
        return self.declaration(index, scope, private)

    def statement_end(self, index):
        while index < len(self.tokens) and self.tokens[index].text != ";":
            index += 1
        return index + 1

    def declaration(self, start, scope, private):
        """Reads one declaration at namespace scope; returns the index after it."""
        tokens = self.tokens
        macro_end = self.macro_use_end(start)
        if macro_end is not None:
            return macro_end
        index = start
        depth = 0
        read = False
        while index < len(tokens):
            text = tokens[index].text
            if text in "([":
                depth += 1
            elif text in ")]":
                depth -= 1
            elif depth == 0 and text == "}":
                return index
            elif depth == 0 and text == ";":
                if not read:
                    self.classify(tokens[start:index], scope, private, None)
                return index + 1
            elif depth == 0 and text == "{":
                body_end = closing(tokens, index, "{", "}")
                if read or self.is_member_initializer(start, index):
                    self.read_locals(index, body_end, scope)
                    index = body_end
                    continue
                read = True
                kind = self.classify(tokens[start:index], scope, private, (index, body_end))
                self.read_parameters(start, index, scope)
                if kind == "class":
                    self.read_class(index + 1, body_end - 1, scope)
                else:
                    self.read_locals(index, body_end, scope)
                if kind == "function":
                    return body_end
                index = body_end
                continue
            index += 1
        return index

    @staticmethod
    def is_macro_use(head):
        """Whether a declaration begins with a macro's use, such as a test's: TEST(Suite, Case)."""
        return len(head) > 1 and re.fullmatch(r"[A-Z][A-Z0-9_]*", head[0].text) and head[1].text == "("

    def macro_use_end(self, start):
        """The end of a macro's use that stands without a semicolon, such as Q_LOGGING_CATEGORY(...)."""
        tokens = self.tokens
        if not self.is_macro_use(tokens[start:start + 2]):
            return None
        end = closing(tokens, start + 1, "(", ")")
        if end < len(tokens) and tokens[end].text in ("{", ";", "->", "."):
            return None
        return end

    def classify(self, head, scope, private, body):
        """Notes what a declaration at namespace scope defines; says whether it is a function or a class."""
        head, template = without_prefix(head)
        if not head or head[0].text in ("static_assert", "friend"):
            return None
        if self.is_macro_use(head):
            return "function"
        first = head[0].text
        line = head[0].line
        if first == "using":
            self.using(head, scope, private)
            return None
        if first == "typedef":
            names = [token for token in head if is_name(token)]
            if names:
                self.define(names[-1].text, "alias", scope, private, line, " ".join(t.text for t in head[1:-1]))
            return None
        if first in CLASS_KEYS or first == "enum":
            if not self.declares_of_class(head):
                return self.class_head(head, scope, private, body)
            head = head[1:]
        opening = top_level(head, ("(", "="))
        if opening is not None and head[opening].text == "(" and body is None and self.is_initializer(head, opening):
            self.variables(head, scope, private)
            return None
        if opening is not None and head[opening].text == "(" and opening > 0 and is_name(head[opening - 1]):
            name = head[opening - 1]
            qualified = opening > 1 and head[opening - 2].text in ("::", "operator", "~")
            if not qualified and body is not None:
                detail = template + "(" + parameter_types(head, opening) + ")"
                self.define(name.text, "function", scope, private or head[0].text == "static", line, detail)
            return "function"
        if body is None or opening is not None or head[-1].kind == "word" or head[-1].text == ">":
            self.variables(head, scope, private)
        return None

    @staticmethod
    def is_initializer(head, opening):
        """Whether the parentheses at `opening` hold a variable's initializer rather than parameters."""
        inside = head[opening + 1:closing(head, opening, "(", ")") - 1]
        if top_level(inside, ("=",)) is not None:
            return False
        return any(token.kind in ("number", "text", "character") or token.text in ("(", "{") for token in inside)

    @staticmethod
    def declares_of_class(head):
        """Whether a head that begins with a class key declares something of the class's type, such as
        struct flock range(...), rather than the class."""
        position = 2 if head[0].text == "enum" and len(head) > 1 and head[1].text in CLASS_KEYS else 1
        return position + 1 < len(head) and head[position + 1].text not in (":", "final", "::", "<")

    def class_head(self, head, scope, private, body):
        position = 1
        if head[0].text == "enum" and len(head) > 1 and head[1].text in CLASS_KEYS:
            position = 2
        if position >= len(head) or not is_name(head[position]):
            if head[0].text == "enum" and body is not None:
                self.enumerators(body, scope, private)
            return "class"
        name = head[position]
        if position + 1 < len(head) and head[position + 1].text == "::":
            return "class"
        if body is not None:
            self.define(name.text, "type", scope, private, name.line, None)
            if head[0].text == "enum" and position == 1:
                self.enumerators(body, scope, private)
        return "class"

    def using(self, head, scope, private):
        if len(head) < 2 or head[1].text in ("namespace", "enum"):
            return
        if len(head) > 2 and head[2].text == "=":
            self.define(head[1].text, "alias", scope, private, head[1].line, " ".join(t.text for t in head[3:]))
        elif is_name(head[-1]):
            target = "".join(token.text for token in head[1:]).removeprefix("::")
            self.define(head[-1].text, "using", scope, private, head[0].line, target)

    def variables(self, head, scope, private):
        """The names of a namespace-scope variable declaration (one a declarator)."""
        while head:
            end = top_level(head, (",",))
            declarator = head[:end]
            head = head[end + 1:] if end is not None else []
            cut = top_level(declarator, ("=", "{", "[", "("))
            cut = len(declarator) if cut is None else cut
            if cut == 0 or not is_name(declarator[cut - 1]) or (cut > 1 and declarator[cut - 2].text == "::"):
                return
            specifiers = [token.text for token in declarator[:cut - 1]]
            constant = "constexpr" in specifiers or ("const" in specifiers and (
                specifiers[-1] == "const" or not {"*", "&"} & set(specifiers)))
            internal = private or "static" in specifiers or (
                constant and "extern" not in specifiers and "inline" not in specifiers)
            self.define(declarator[cut - 1].text, "variable", scope, internal, declarator[cut - 1].line, None)

    def enumerators(self, body, scope, private):
        start, end = body
        expecting = True
        depth = 0
        for token in self.tokens[start + 1:end - 1]:
            if token.text in "([{":
                depth += 1
            elif token.text in ")]}":
                depth -= 1
            elif token.text == "," and depth == 0:
                expecting = True
            elif expecting and depth == 0 and is_name(token):
                self.define(token.text, "enumerator", scope, private, token.line, None)
                expecting = False

    def read_class(self, start, end, scope):
        """A class's member functions' parameters and bodies; its members themselves are no locals."""
        index = start
        statement = start
        depth = 0
        while index < end:
            text = self.tokens[index].text
            if text in "([":
                depth += 1
            elif text in ")]":
                depth -= 1
            elif depth == 0 and text in (";", "}") or (depth == 0 and text == ":" and index > 0
                                                        and self.tokens[index - 1].text in ("public", "private",
                                                                                            "protected")):
                statement = index + 1
            elif depth == 0 and text == "{":
                body_end = closing(self.tokens, index, "{", "}")
                head, _ = without_prefix(self.tokens[statement:index])
                if head and head[0].text in CLASS_KEYS + ("enum",):
                    self.read_class(index + 1, body_end - 1, scope)
                elif top_level(head, ("(",)) is not None and top_level(head, ("=",)) is None \
                        and not self.is_member_initializer(statement, index):
                    self.read_parameters(statement, index, scope)
                    self.read_locals(index, body_end, scope)
                    statement = body_end
                index = body_end
                continue
            index += 1

    def is_member_initializer(self, statement, brace):
        """Whether the brace at `brace` opens a member's initializer in a constructor's list."""
        head, _ = without_prefix(self.tokens[statement:brace])
        if not head or head[0].text in CLASS_KEYS + ("enum",):
            return False
        if top_level(head, ("(",)) is None or top_level(head, ("=",)) is not None:
            return False
        before = self.tokens[brace - 1]
        arrow = any(token.text == "->" for token in head)
        return not arrow and (is_name(before) or before.text == ">")

    def read_parameters(self, start, end, scope):
        depth = 0
        for index in range(start, end):
            text = self.tokens[index].text
            if text == "(":
                depth += 1
            elif text == ")":
                depth -= 1
            elif depth > 0:
                self.local_at(index, scope)

    def read_locals(self, start, end, scope):
        for index in range(start + 1, end - 1):
            self.local_at(index, scope)

    def local_at(self, index, scope):
        tokens = self.tokens
        token = tokens[index]
        if not is_name(token) or index == 0 or index + 1 >= len(tokens):
            return
        before = tokens[index - 1].text
        after = tokens[index + 1].text
        if (before in CLASS_KEYS or before == "enum") and after in ("{", ";", ":", "final") \
                or before == "using" and after == "=":
            self.locals.append(Local(token.text, "type", scope, token.line))
        elif before not in ("::", ".", "->") and (
                tokens[index + 1].text in AFTER_DECLARED_NAME and is_type_end(tokens, index - 1)
                or tokens[index + 1].text in (",", "]") and self.is_binding(index)):
            self.locals.append(Local(token.text, "variable", scope, token.line))

    def is_binding(self, index):
        """Whether the name at `index` is one of a structured binding's: auto [a, b] = ..."""
        tokens = self.tokens
        while index > 0 and tokens[index - 1].text == ",":
            index -= 2
        index -= 1
        if index < 1 or tokens[index].text != "[":
            return False
        index -= 1
        while index > 0 and tokens[index].text == "&":
            index -= 1
        return tokens[index].text == "auto"

    def define(self, name, kind, scope, private, line, detail):
        self.definitions.append(Definition(name, kind, scope, private, line, detail))


def read(path):
    """What the file at `path` declares."""
    tokens, macros = tokenize(Path(path).read_text(encoding="utf-8", errors="replace"))
    reader = Reader(tokens).read()
    return Declarations(reader.definitions, reader.locals, macros, {token.text for token in tokens
                                                                    if token.kind == "word"})
