-- Envelope formats shipped with the program. Millimetres from the top left
-- corner of the envelope lying with its long side horizontal. As Russian
-- envelopes are marked: the sender in the upper left, the recipient in the
-- lower right, the big postal code in the lower left corner, the stamp
-- corner (upper right) left free; the comment sits above the recipient.
-- Name boxes take three whole lines and address boxes five at the default
-- print font (Arial, 11 points) with LinesH 5 (lines 5.5 mm apart); the
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
('DL 220x110', 110, 220, 5, 25, 8, 11, 80, 25, 20, 16, 80, 25, 41, 5, 22, 110, 50, 16, 100, 110, 67, 27, 100, 110, 98, 5, 22, 108, 6, 18, 25, 10, 88, 120, 30, 16, 53),
('C6 162x114', 114, 162, 5, 25, 8, 11, 60, 25, 20, 16, 60, 25, 41, 5, 22, 72, 48, 16, 85, 72, 65, 27, 85, 100, 98, 5, 22, 90, 6, 18, 25, 10, 92, 90, 27, 16, 53),
('C65 229x114', 114, 229, 5, 25, 8, 11, 80, 25, 20, 16, 80, 25, 41, 5, 22, 119, 52, 16, 100, 119, 69, 27, 100, 119, 101, 5, 22, 108, 6, 18, 25, 10, 92, 129, 32, 16, 53),
('C5 229x162', 162, 229, 5, 25, 8, 11, 80, 25, 20, 16, 80, 25, 41, 5, 22, 119, 95, 16, 100, 119, 112, 27, 100, 119, 144, 5, 22, 108, 6, 18, 25, 10, 140, 129, 75, 16, 53),
('C4 324x229', 229, 324, 5, 25, 8, 11, 80, 25, 20, 16, 80, 25, 41, 5, 22, 204, 150, 16, 110, 204, 167, 27, 110, 204, 199, 5, 22, 108, 6, 18, 25, 10, 207, 204, 130, 16, 53),
('B4 353x250', 250, 353, 5, 25, 8, 11, 80, 25, 20, 16, 80, 25, 41, 5, 22, 233, 170, 16, 110, 233, 187, 27, 110, 233, 219, 5, 22, 108, 6, 18, 25, 10, 228, 233, 150, 16, 53);
