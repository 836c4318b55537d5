"""The subject and body text of saved e-mails as a reader sees them, for proposing candidate phrases.

Only proposals come from here: every count that chooses or weighs a phrase is made by tallyvex-scan.
"""

import email
import email.policy
import html.parser
import re
from pathlib import Path


class _VisibleText(html.parser.HTMLParser):
    _HIDDEN = {"script", "style", "head", "title"}
    _BREAKS = {"br", "p", "div", "tr", "li", "h1", "h2", "h3", "h4", "h5", "h6", "table", "td"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.parts = []
        self.hidden = 0

    def handle_starttag(self, tag, attrs):
        if tag in self._HIDDEN:
            self.hidden += 1
        if tag in self._BREAKS:
            self.parts.append("\n")

    def handle_endtag(self, tag):
        if tag in self._HIDDEN and self.hidden:
            self.hidden -= 1

    def handle_data(self, data):
        if not self.hidden:
            self.parts.append(data)


def html_text(markup):
    parser = _VisibleText()
    try:
        parser.feed(markup)
        parser.close()
    except Exception:  # noqa: BLE001 - broken markup still yields the text read so far
        pass
    return re.sub(r"[ \t\r\f\v]+", " ", "".join(parser.parts))


def _part_text(part):
    try:
        return part.get_content()
    except Exception:  # noqa: BLE001 - an unknown character set or a broken transfer encoding
        payload = part.get_payload(decode=True) or b""
        return payload.decode("latin-1")


def read_message(path):
    """(subject, body): the first text/plain part, else the first text/html part laid out as text."""
    with open(path, "rb") as file:
        message = email.message_from_binary_file(file, policy=email.policy.default)
    try:
        subject = str(message.get("subject", ""))
    except Exception:  # noqa: BLE001
        subject = ""
    plain = html = None
    for part in message.walk():
        if part.is_multipart():
            continue
        kind = part.get_content_type()
        if kind == "text/plain" and plain is None:
            plain = _part_text(part)
        elif kind == "text/html" and html is None:
            html = _part_text(part)
    body = plain if plain is not None else html_text(html) if html is not None else ""
    return subject, body


def messages_in(folder):
    return sorted(path for path in Path(folder).iterdir() if path.suffix == ".eml")
