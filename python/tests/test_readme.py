"""The README's Python example prints what the README shows."""
import contextlib
import io
import os
import re

README = os.path.join(os.path.dirname(__file__), "..", "..", "README.md")


def test_readme_example_prints_what_it_shows():
    with open(README, encoding="utf-8") as f:
        text = f.read()
    section = text[text.index("## Python"):]
    code, shown = re.search(r"```python\n(.*?)```.*?```\n(.*?)```", section, re.S).groups()
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(code, "README.md", "exec"), {})
    assert printed.getvalue() == shown
