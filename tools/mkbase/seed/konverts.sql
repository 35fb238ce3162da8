-- Envelope formats shipped with the program. Millimetres from the top left
-- corner of the envelope lying with its long side horizontal. As Russian
-- envelopes are marked: the sender in the upper left, the recipient in the
-- lower right, the big postal code in the lower left corner, the stamp
-- corner (upper right) left free; the comment sits above the recipient.
-- Name boxes take three lines and address boxes five at the default print
-- font (Arial, 11 points) with LinesH 5 (lines 5.5 mm apart); the
-- recipient's postal code goes under the address, clear of the big code.
INSERT INTO konverts ("NameKonvert", "H", "W", "LinesH",
  "OtkogoL", "OtkogoT", "OtkogoH", "OtkogoW",
  "OtkudaL", "OtkudaT", "OtkudaH", "OtkudaW",
  "OtindexL", "OtindexT", "OtindexH", "OtindexW",
  "KomuL", "KomuT", "KomuH", "KomuW",
  "KudaL", "KudaT", "KudaH", "KudaW",
  "IndexL", "IndexT", "IndexH", "IndexW",
  "LogoL", "LogoT", "LogoH", "LogoW",
  "ZIPcodeL", "ZIPcodeT",
  "KonvertCommentL", "KonvertCommentT", "KonvertCommentH", "KonvertCommentW")
VALUES
('DL 220x110', 110, 220, 5, 25, 8, 10, 80, 25, 19, 15, 80, 25, 39, 5, 22, 110, 50, 15, 100, 110, 66, 26, 100, 110, 96, 5, 22, 108, 6, 18, 25, 10, 88, 120, 30, 16, 53),
('C6 162x114', 114, 162, 5, 25, 8, 10, 60, 25, 19, 15, 60, 25, 39, 5, 22, 72, 48, 15, 85, 72, 64, 26, 85, 100, 96, 5, 22, 90, 6, 18, 25, 10, 92, 90, 27, 16, 53),
('C65 229x114', 114, 229, 5, 25, 8, 10, 80, 25, 19, 15, 80, 25, 39, 5, 22, 119, 52, 15, 100, 119, 68, 26, 100, 119, 99, 5, 22, 108, 6, 18, 25, 10, 92, 129, 32, 16, 53),
('C5 229x162', 162, 229, 5, 25, 8, 10, 80, 25, 19, 15, 80, 25, 39, 5, 22, 119, 95, 15, 100, 119, 111, 26, 100, 119, 142, 5, 22, 108, 6, 18, 25, 10, 140, 129, 75, 16, 53),
('C4 324x229', 229, 324, 5, 25, 8, 10, 80, 25, 19, 15, 80, 25, 39, 5, 22, 204, 150, 15, 110, 204, 166, 26, 110, 204, 197, 5, 22, 108, 6, 18, 25, 10, 207, 204, 130, 16, 53),
('B4 353x250', 250, 353, 5, 25, 8, 10, 80, 25, 19, 15, 80, 25, 39, 5, 22, 233, 170, 15, 110, 233, 186, 26, 110, 233, 217, 5, 22, 108, 6, 18, 25, 10, 228, 233, 150, 16, 53);
