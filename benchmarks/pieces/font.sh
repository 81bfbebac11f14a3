# The font: the controls keep the system's.
begin ui/Form.cpp 'FontHandle TForm::MakeFontAt(const Dpi& dpi) const {' 'return {};'
