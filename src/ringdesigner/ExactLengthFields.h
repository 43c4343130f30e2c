#pragma once

#include <QHash>
#include <QString>

class NumericEdit;

// Numeric fields that show a length of the design (inches) in a chosen unit
// and a number of decimals. A field gives back exactly the value it was
// given for as long as its text is the one it was shown with: OK must not
// round a rulebook ring the user did not touch. A changed text is read in
// the field's unit and kept within the field's range in inches.
class ExactLengthFields {
public:
    void add(NumericEdit* field, double minInches, double maxInches, bool limitText);
    // Shows the field's value again in a unit of unitInches inches.
    void setUnit(NumericEdit* field, double unitInches, int decimals);
    void set(NumericEdit* field, double inches);
    double get(NumericEdit* field) const;

private:
    struct Entry {
        double minInches = 0.0;
        double maxInches = 0.0;
        bool limitText = false;
        double unitInches = 1.0;
        int decimals = 3;
        double inches = 0.0;
        QString shown;
    };
    void configure(NumericEdit* field, const Entry& entry);

    QHash<NumericEdit*, Entry> m_fields;
};
