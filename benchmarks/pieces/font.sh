# The font: the controls keep the system's.
drop ui/Form.cpp 'CreateFontA('
