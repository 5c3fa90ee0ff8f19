"""Loads another drawing script of this folder as a module: their names have
hyphens, so a plain import cannot reach them."""
import importlib.util
import os


def load_module(file_name):
    here = os.path.dirname(os.path.abspath(__file__))
    found = importlib.util.spec_from_file_location(file_name[:-3].replace("-", "_"), os.path.join(here, file_name))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module
