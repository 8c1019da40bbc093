"""gen_gs1tables.py on the grammar of GS1's Barcode Syntax Dictionary (its header)."""
import sys
import unittest

sys.path.insert(0, sys.argv.pop(1))
import gen_gs1tables as gen  # noqa: E402


class Grammar(unittest.TestCase):
    def test_range_and_flags(self):
        entries = gen.parse_dictionary("3100-3105  *?  N6  req=01,02 ex=310n  # NET WEIGHT (kg)\n")
        self.assertEqual(sorted(entries), ["3100", "3101", "3102", "3103", "3104", "3105"])
        e = entries["3103"]
        self.assertTrue(e["fixed"] and e["dlattr"])
        self.assertEqual((e["req"], e["ex"], e["title"]), ("01,02", "310n", "NET WEIGHT (kg)"))

    def test_optional_components_and_their_linters(self):
        e = gen.parse_line("423  ?  N3,iso3166 [N3],iso3166 [N..2]  req=01  # X")
        self.assertEqual([(c["min"], c["max"], c["optional"], c["linters"]) for c in e["components"]],
                         [(3, 3, False, ["iso3166"]), (3, 3, True, ["iso3166"]), (1, 2, True, [])])

    def test_no_flags_and_primary_key(self):
        e = gen.parse_line("8003  N1,zero N13,csum,gcppos1 [X..16]  dlpkey")
        self.assertFalse(e["fixed"] or e["dlattr"])
        self.assertEqual((e["dlpkey"], e["title"]), ("", ""))
        self.assertIsNone(gen.parse_line("22  X..20  req=01")["dlpkey"])

    def test_predefined_lengths_against_the_flag(self):
        entries = gen.parse_dictionary("01  *?  N14  # GTIN\n10  X..20  # BATCH\n")
        self.assertEqual(gen.unassigned_prefixes(entries, "# GS1's figure\n01 16\n04 18\n"), [("04", 18)])
        for table in ("01 18\n", "04 18\n", "01 16\n10 22\n"):
            with self.assertRaises(gen.GrammarError, msg=table):
                gen.unassigned_prefixes(entries, table)

    def test_refused(self):
        for line in ("10  X..20  bogus=1", "10  X..20,nosuchlinter", "10  [N2] N3",
                     "10  N..2 N3", "3109-3100  N6", "10  ?"):
            with self.assertRaises(gen.GrammarError, msg=line):
                gen.parse_line(line)
        with self.assertRaises(gen.GrammarError):
            gen.parse_dictionary("10 X..20\n101 X..20\n")  # an AI a prefix of another


if __name__ == "__main__":
    unittest.main()
