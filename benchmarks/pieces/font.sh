# The font: the controls keep the system's.
begin ui/Form.cpp 'FontHandle TForm::MakeFont() const {' 'return {};'
