"""Reads a search-key file strictly: UTF-8 without byte-order mark, lines
ending in LF only. Prints its lines' fields as JSON."""
import json
import sys

data = open(sys.argv[1], "rb").read()
if data.startswith(b"\xef\xbb\xbf"):
    sys.exit("byte-order mark")
if b"\r" in data:
    sys.exit("carriage return")
if data and not data.endswith(b"\n"):
    sys.exit("last line unterminated")
text = data.decode("utf-8")
print(json.dumps([line.split("\t") for line in text.split("\n")[:-1]]))
